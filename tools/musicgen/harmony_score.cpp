#include "tools/musicgen/arrangement.h"
#include "tools/musicgen/score.h"
#include "tools/musicgen/song_timing.h"

namespace {

// Pad and bass levels of a section, at its start and at its end.
struct Shape {
    float velocityFrom, velocityTo;
    float brightnessFrom, brightnessTo;
};

Shape PadShape(Part part)
{
    switch (part) {
    case Part::Intro: return {0.7f, 0.85f, 0.15f, 0.45f};
    case Part::Build: return {0.7f, 0.75f, 0.35f, 0.9f};
    case Part::Drop: return {0.6f, 0.6f, 0.65f, 0.7f};
    case Part::Break: return {0.8f, 0.8f, 0.3f, 0.5f};
    case Part::Outro: return {0.7f, 0.3f, 0.5f, 0.1f};
    }
    return {};
}

float Along(float from, float to, int bar, int bars)
{
    return from + (to - from) * static_cast<float>(bar) / static_cast<float>(bars);
}

void Pad(Score& score, const SongSection& section)
{
    const Shape shape = PadShape(section.part);
    const bool songEnds = &section == &SongSections().back();
    for (int b = 0; b < section.bars; ++b) {
        const int bar = section.firstBar + b;
        const bool lastChord = songEnds && b == section.bars - 1;
        const double length = lastChord ? 2.5 * kBarSeconds : kBarSeconds;
        for (float pitch : ChordOfBar(bar).pad) {
            score.pad.push_back({StepTime(bar, 0), length, pitch,
                                 Along(shape.velocityFrom, shape.velocityTo, b, section.bars),
                                 Along(shape.brightnessFrom, shape.brightnessTo, b, section.bars)});
        }
    }
}

// The rolling bass of the drops: {step, length in steps, interval above the root}.
void BassRiff(Score& score, int bar, int barOfPhrase)
{
    const int riff[5][3] = {{0, 5, 0}, {6, 2, 0}, {8, 1, 12}, {10, 4, 0}, {14, 2, 7}};
    const float root = ChordOfBar(bar).root;
    for (const auto& [step, steps, interval] : riff) {
        const bool accent = step == 0 || step == 10;
        const int lift = barOfPhrase % 4 == 3 && step == 14 ? 5 : 0;  // leads into the next chord
        score.bass.push_back({StepTime(bar, step), steps * kStepSeconds * 0.9,
                              root + interval + lift, accent ? 1.0f : 0.8f, accent ? 0.8f : 0.55f});
    }
}

void SustainedRoot(Score& score, int bar, float velocity, float brightness)
{
    score.bass.push_back(
        {StepTime(bar, 0), kBarSeconds * 0.97, ChordOfBar(bar).root, velocity, brightness});
}

void Bass(Score& score, const SongSection& section)
{
    for (int b = 0; b < section.bars; ++b) {
        const int bar = section.firstBar + b;
        switch (section.part) {
        case Part::Build:
            if (b >= section.bars / 2) {
                SustainedRoot(score, bar, 0.75f, Along(0.1f, 0.6f, b, section.bars));
            }
            break;
        case Part::Drop: BassRiff(score, bar, b); break;
        case Part::Break: SustainedRoot(score, bar, 0.4f, 0.05f); break;
        case Part::Outro:
            if (b < section.bars / 2) {
                BassRiff(score, bar, b);
            }
            break;
        case Part::Intro: break;
        }
    }
}

}  // namespace

const Chord& ChordOfBar(int bar)
{
    static const Chord progression[4] = {
        {{57, 60, 64, 71}, 33},  // A minor (add 9)
        {{53, 57, 60, 64}, 29},  // F major 7
        {{55, 60, 64, 67}, 36},  // C major over G
        {{55, 59, 62, 67}, 31},  // G major
    };
    return progression[bar % 4];
}

void WriteHarmony(Score& score)
{
    for (const SongSection& section : SongSections()) {
        Pad(score, section);
        Bass(score, section);
    }
}
