#include "tools/musicgen/arrangement.h"
#include "tools/musicgen/score.h"
#include "tools/musicgen/song_timing.h"

namespace {

void Hit(Score& score, int bar, double step, DrumSound sound, float velocity)
{
    score.drums.push_back({StepTime(bar, step), sound, velocity});
}

// Hats on the eighths, the off-beats louder; with `sixteenths`, soft ghost
// hits in between.
void Hats(Score& score, int bar, float velocity, bool sixteenths)
{
    for (int step = 0; step < kStepsPerBar; ++step) {
        if (step % 2 == 0) {
            Hit(score, bar, step, DrumSound::ClosedHat,
                step % 4 == 2 ? velocity : velocity * 0.65f);
        } else if (sixteenths) {
            Hit(score, bar, step, DrumSound::ClosedHat, velocity * 0.35f);
        }
    }
}

// The two-step break beat: kicks on 1 and the "and" of 3, snares on 2 and 4.
void Breakbeat(Score& score, int bar, int barOfPhrase, bool withClap)
{
    Hit(score, bar, 0, DrumSound::Kick, 1.0f);
    Hit(score, bar, 10, DrumSound::Kick, 0.9f);
    if (barOfPhrase % 4 == 3) {
        Hit(score, bar, 6, DrumSound::Kick, 0.7f);
    }
    for (int step : {4, 12}) {
        Hit(score, bar, step, DrumSound::Snare, 1.0f);
        if (withClap) {
            Hit(score, bar, step, DrumSound::Clap, 0.6f);
        }
    }
    if (barOfPhrase % 8 == 7) {  // a fill leads into the next phrase
        Hit(score, bar, 13, DrumSound::Snare, 0.45f);
        Hit(score, bar, 14, DrumSound::Snare, 0.65f);
        Hit(score, bar, 15, DrumSound::Snare, 0.85f);
    } else if (barOfPhrase % 2 == 1) {
        Hit(score, bar, 7, DrumSound::Snare, 0.2f);
        Hit(score, bar, 15, DrumSound::Snare, 0.25f);
    }
    Hats(score, bar, 0.7f, true);
    Hit(score, bar, 6, DrumSound::OpenHat, 0.4f);
}

void Intro(Score& score, const SongSection& section)
{
    for (int b = 0; b < section.bars; ++b) {
        const int bar = section.firstBar + b;
        Hats(score, bar, 0.35f + 0.35f * b / section.bars, false);
        if (b >= section.bars / 2) {
            Hit(score, bar, 0, DrumSound::Kick, 0.6f);
            Hit(score, bar, 14, DrumSound::OpenHat, 0.35f);
        }
    }
}

// Four-on-the-floor kicks, then a snare roll that doubles its pace twice
// under a rising noise sweep; the last two bars drop the kick.
void Build(Score& score, const SongSection& section)
{
    const int half = section.bars / 2;
    Hit(score, section.firstBar, 0, DrumSound::Crash, 0.5f);
    score.drums.push_back(
        {StepTime(section.firstBar + half, 0), DrumSound::Riser, 0.8f, half * kBarSeconds});
    for (int b = 0; b < section.bars; ++b) {
        const int bar = section.firstBar + b;
        const float progress = static_cast<float>(b) / section.bars;
        Hats(score, bar, 0.3f + 0.35f * progress, true);
        if (b < section.bars - 2) {
            for (int step : {0, 4, 8, 12}) {
                Hit(score, bar, step, DrumSound::Kick, 0.85f);
            }
        }
        if (b < half) {
            continue;
        }
        const int stride = b < half + half / 2 ? 4 : b < section.bars - 2 ? 2 : 1;
        for (int step = 0; step < kStepsPerBar; step += stride) {
            const float rollProgress = (b - half + step / 16.0f) / (section.bars - half);
            Hit(score, bar, step, DrumSound::Snare, 0.3f + 0.65f * rollProgress);
        }
    }
}

void Drop(Score& score, const SongSection& section)
{
    for (int b = 0; b < section.bars; ++b) {
        const int bar = section.firstBar + b;
        if (b % 8 == 0) {
            Hit(score, bar, 0, DrumSound::Crash, 1.0f);
        }
        Breakbeat(score, bar, b, true);
    }
}

void Break(Score& score, const SongSection& section)
{
    Hit(score, section.firstBar, 0, DrumSound::Crash, 0.7f);
    for (int b = section.bars / 2; b < section.bars; ++b) {
        Hats(score, section.firstBar + b, 0.25f + 0.25f * b / section.bars, false);
    }
}

void Outro(Score& score, const SongSection& section)
{
    Hit(score, section.firstBar, 0, DrumSound::Crash, 0.9f);
    for (int b = 0; b < section.bars; ++b) {
        const int bar = section.firstBar + b;
        if (b < section.bars / 2) {
            Breakbeat(score, bar, b, false);
        } else {
            Hats(score, bar, 0.5f * (section.bars - b) / (section.bars / 2), false);
        }
    }
}

}  // namespace

void WriteDrums(Score& score)
{
    for (const SongSection& section : SongSections()) {
        switch (section.part) {
        case Part::Intro: Intro(score, section); break;
        case Part::Build: Build(score, section); break;
        case Part::Drop: Drop(score, section); break;
        case Part::Break: Break(score, section); break;
        case Part::Outro: Outro(score, section); break;
        }
    }
}
