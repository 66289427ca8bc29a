#pragma once
// The notes and drum hits of the whole song, written out section by
// section, with times in seconds.

#include <vector>

struct NoteEvent {
    double start;
    double length;
    float pitch;       // MIDI note number
    float velocity;    // 0..1
    float brightness;  // 0..1: how far the instrument's filter opens
};

enum class DrumSound { Kick, Snare, Clap, ClosedHat, OpenHat, Crash, Riser };

struct DrumHit {
    double start;
    DrumSound sound;
    float velocity;
    double length = 0.0;  // risers only: how long the sweep takes
};

struct Score {
    std::vector<DrumHit> drums;
    std::vector<NoteEvent> bass;
    std::vector<NoteEvent> pad;
    std::vector<NoteEvent> lead;
};

Score WriteScore();

// The parts of WriteScore, one per file.
void WriteDrums(Score& score);
void WriteHarmony(Score& score);  // bass and pad
void WriteLead(Score& score);

// The chord of a bar: four pad notes and the bass's root (A minor: Am, F,
// C, G, one bar each).
struct Chord {
    float pad[4];
    float root;
};
const Chord& ChordOfBar(int bar);
