#pragma once
// The soundtrack's clock: 44.1 kHz stereo, 176 beats a minute in 4/4, so a
// bar lasts 1363.6364 ms. The score counts sixteenth-note steps.

#include <cmath>
#include <cstdint>

constexpr int kSampleRate = 44100;
constexpr double kBarSeconds = 240.0 / 176.0;
constexpr int kStepsPerBar = 16;
constexpr double kStepSeconds = kBarSeconds / kStepsPerBar;

// The time at which a step of a bar starts.
inline double StepTime(int bar, double step)
{
    return (bar * kStepsPerBar + step) * kStepSeconds;
}

inline int64_t SampleAt(double seconds)
{
    return static_cast<int64_t>(std::llround(seconds * kSampleRate));
}

// Frequency of a MIDI note number (69 is A at 440 Hz).
inline float NoteFrequency(float note)
{
    return 440.0f * std::exp2((note - 69.0f) / 12.0f);
}
