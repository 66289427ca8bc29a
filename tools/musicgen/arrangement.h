#pragma once
// The song's sections, in order, each a whole number of bars.

#include <vector>

enum class Part { Intro, Build, Drop, Break, Outro };

struct SongSection {
    Part part;
    int firstBar;
    int bars;
};

const std::vector<SongSection>& SongSections();
int SongBars();
// Where the last section ends, before the instruments' tails ring out.
double SongSeconds();
