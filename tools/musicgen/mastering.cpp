#include "tools/musicgen/mastering.h"

#include <algorithm>
#include <cmath>

#include "tools/musicgen/song_timing.h"

float PeakOf(const StereoSignal& signal)
{
    float peak = 0.0f;
    for (size_t i = 0; i < signal.Frames(); ++i) {
        peak = std::max({peak, std::fabs(signal.left[i]), std::fabs(signal.right[i])});
    }
    return peak;
}

float LimitPeaks(StereoSignal& signal, float ceiling, double attackSeconds, double releaseSeconds)
{
    const size_t frames = signal.Frames();
    // The gain each sample needs on its own...
    std::vector<float> gain(frames);
    for (size_t i = 0; i < frames; ++i) {
        const float level = std::max(std::fabs(signal.left[i]), std::fabs(signal.right[i]));
        gain[i] = level > ceiling ? ceiling / level : 1.0f;
    }
    // ...reached by a ramp that starts ahead of it (walking backwards)...
    const float attackStep = static_cast<float>(1.0 / (attackSeconds * kSampleRate));
    for (size_t i = frames; i-- > 1;) {
        gain[i - 1] = std::min(gain[i - 1], gain[i] + attackStep);
    }
    // ...and left by a ramp after it. Neither ramp raises a gain, so every
    // sample stays within the ceiling.
    const float releaseStep = static_cast<float>(1.0 / (releaseSeconds * kSampleRate));
    for (size_t i = 1; i < frames; ++i) {
        gain[i] = std::min(gain[i], gain[i - 1] + releaseStep);
    }
    float lowest = 1.0f;
    for (size_t i = 0; i < frames; ++i) {
        signal.left[i] *= gain[i];
        signal.right[i] *= gain[i];
        lowest = std::min(lowest, gain[i]);
    }
    return lowest;
}

void FadeOut(StereoSignal& signal, double seconds)
{
    const size_t frames = signal.Frames();
    const size_t fade = std::min(frames, static_cast<size_t>(seconds * kSampleRate));
    for (size_t k = 0; k < fade; ++k) {
        const float level = static_cast<float>(k) / static_cast<float>(fade);
        signal.left[frames - 1 - k] *= level;
        signal.right[frames - 1 - k] *= level;
    }
}
