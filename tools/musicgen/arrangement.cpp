#include "tools/musicgen/arrangement.h"

#include "tools/musicgen/song_timing.h"

namespace {

std::vector<SongSection> LayOut(std::initializer_list<std::pair<Part, int>> parts)
{
    std::vector<SongSection> sections;
    int bar = 0;
    for (const auto& [part, bars] : parts) {
        sections.push_back({part, bar, bars});
        bar += bars;
    }
    return sections;
}

}  // namespace

const std::vector<SongSection>& SongSections()
{
    // 120 bars: 2 minutes 43.6 seconds.
    static const std::vector<SongSection> sections = LayOut({{Part::Intro, 16},
                                                             {Part::Build, 16},
                                                             {Part::Drop, 32},
                                                             {Part::Break, 16},
                                                             {Part::Build, 8},
                                                             {Part::Drop, 24},
                                                             {Part::Outro, 8}});
    return sections;
}

int SongBars()
{
    const SongSection& last = SongSections().back();
    return last.firstBar + last.bars;
}

double SongSeconds()
{
    return SongBars() * kBarSeconds;
}
