#include "tools/musicgen/arrangement.h"
#include "tools/musicgen/score.h"
#include "tools/musicgen/song_timing.h"

namespace {

struct MelodyNote {
    int step;   // from the start of the 8-bar tune
    int steps;  // length
    float pitch;
};

// Eight bars over the chord loop: a phrase, then its answer, which climbs
// to the tonic instead of falling back.
const std::vector<MelodyNote>& Tune()
{
    static const std::vector<MelodyNote> tune = [] {
        const std::vector<MelodyNote> phrase = {
            {0, 3, 76},  {3, 3, 72},  {6, 2, 74},  {8, 4, 76},  {12, 2, 79}, {14, 2, 76},
            {16, 3, 77}, {19, 3, 76}, {22, 2, 72}, {24, 6, 69}, {30, 2, 72}, {32, 3, 76},
            {35, 3, 79}, {38, 2, 81}, {40, 4, 79}, {44, 2, 76}, {46, 2, 74},
        };
        std::vector<MelodyNote> notes = phrase;
        notes.insert(notes.end(), {{48, 6, 74}, {54, 2, 72}, {56, 4, 71}, {60, 4, 67}});
        for (const MelodyNote& note : phrase) {
            notes.push_back({note.step + 64, note.steps, note.pitch});
        }
        notes.insert(notes.end(), {{112, 3, 74}, {115, 3, 76}, {118, 2, 79}, {120, 8, 81}});
        return notes;
    }();
    return tune;
}

void PlayTune(Score& score, int firstBar, int bars, float velocity, float brightness)
{
    const int tuneSteps = 8 * kStepsPerBar;
    for (int start = 0; start < bars * kStepsPerBar; start += tuneSteps) {
        for (const MelodyNote& note : Tune()) {
            if (start + note.step >= bars * kStepsPerBar) {
                break;
            }
            score.lead.push_back({StepTime(firstBar, start + note.step),
                                  note.steps * kStepSeconds * 0.92, note.pitch, velocity,
                                  brightness});
        }
    }
}

// Eighth-note arpeggios of the chord an octave up, louder and brighter bar
// by bar.
void RisingArpeggio(Score& score, int firstBar, int bars)
{
    for (int b = 0; b < bars; ++b) {
        const float progress = static_cast<float>(b) / bars;
        const Chord& chord = ChordOfBar(firstBar + b);
        for (int step = 0; step < kStepsPerBar; step += 2) {
            score.lead.push_back({StepTime(firstBar + b, step), kStepSeconds * 1.5,
                                  chord.pad[(step / 2) % 4] + 12, 0.25f + 0.4f * progress,
                                  0.2f + 0.6f * progress});
        }
    }
}

}  // namespace

void WriteLead(Score& score)
{
    int dropsSoFar = 0;
    for (const SongSection& section : SongSections()) {
        const int half = section.bars / 2;
        switch (section.part) {
        case Part::Intro:
            PlayTune(score, section.firstBar + half, section.bars - half, 0.45f, 0.25f);
            break;
        case Part::Build:
            RisingArpeggio(score, section.firstBar + half, section.bars - half);
            break;
        case Part::Drop:
            PlayTune(score, section.firstBar, section.bars, 0.85f, dropsSoFar == 0 ? 0.75f : 0.9f);
            ++dropsSoFar;
            break;
        case Part::Break: PlayTune(score, section.firstBar, section.bars, 0.55f, 0.3f); break;
        case Part::Outro: break;
        }
    }
}
