#include "tools/musicgen/drum_voices.h"

#include "tools/musicgen/dsp.h"

namespace {

// Per-sample factor of an exponential decay with time constant `seconds`.
float DecayFactor(float seconds)
{
    return std::exp(-1.0f / (seconds * kSampleRate));
}

// How long a sound lasts whose slowest part decays with this time
// constant: six of them, after which it is 0.25% of its start and ends
// without a click.
double SoundSeconds(float timeConstant)
{
    return 6.0 * timeConstant;
}

}  // namespace

void AddKick(std::vector<float>& track, double start, float velocity, uint32_t seed)
{
    const SampleSpan span = SpanOf(start, SoundSeconds(0.17f), track.size());
    Noise noise(seed);
    const float pitchDecay = DecayFactor(0.03f);
    const float bodyDecay = DecayFactor(0.17f);
    const float clickDecay = DecayFactor(0.003f);
    float pitch = 1.0f;
    float body = 1.0f;
    float click = 1.0f;
    double phase = 0.0;
    for (size_t i = 0; i < span.count; ++i) {
        const float frequency = 44.0f + 120.0f * pitch;
        const float raw =
            std::sin(kTwoPi * static_cast<float>(phase)) * body + noise.Next() * click * 0.2f;
        track[span.first + i] += std::tanh(1.6f * raw) * velocity * 0.85f;
        phase += frequency / kSampleRate;
        pitch *= pitchDecay;
        body *= bodyDecay;
        click *= clickDecay;
    }
}

void AddSnare(std::vector<float>& track, double start, float velocity, uint32_t seed)
{
    const SampleSpan span = SpanOf(start, SoundSeconds(0.1f), track.size());
    Noise noise(seed);
    Svf filter;
    filter.Set(1800.0f, 0.7f);
    const float toneDecay = DecayFactor(0.05f);
    const float noiseDecay = DecayFactor(0.1f);
    float tone = 0.6f;
    float hiss = 0.9f;
    double phase = 0.0;
    for (size_t i = 0; i < span.count; ++i) {
        const float value = std::sin(kTwoPi * static_cast<float>(phase)) * tone +
                            filter.Process(noise.Next()).high * hiss;
        track[span.first + i] += value * velocity * 0.6f;
        phase += (185.0 + 60.0 * tone) / kSampleRate;
        tone *= toneDecay;
        hiss *= noiseDecay;
    }
}

void AddClap(std::vector<float>& track, double start, float velocity, uint32_t seed)
{
    const SampleSpan span = SpanOf(start, 0.03 + SoundSeconds(0.09f), track.size());
    Noise noise(seed);
    Svf filter;
    filter.Set(1300.0f, 1.5f);
    constexpr float kBurstOffsets[3] = {0.0f, 0.011f, 0.022f};
    for (size_t i = 0; i < span.count; ++i) {
        const float t = static_cast<float>(i) / kSampleRate;
        float level = 0.0f;
        for (float offset : kBurstOffsets) {
            level += t >= offset ? std::exp(-(t - offset) / 0.004f) : 0.0f;
        }
        level += t >= kBurstOffsets[2] ? 0.8f * std::exp(-(t - kBurstOffsets[2]) / 0.09f) : 0.0f;
        track[span.first + i] += filter.Process(noise.Next()).band * level * velocity * 1.4f;
    }
}

void AddHat(StereoSignal& track, double start, float velocity, bool open, uint32_t seed)
{
    const float time = open ? 0.11f : 0.016f;
    const SampleSpan span = SpanOf(start, SoundSeconds(time), track.left.size());
    Noise noise(seed);
    Svf filter;
    filter.Set(7500.0f, 0.8f);
    const float decay = DecayFactor(time);
    // Closed hats sit a little right, open ones a little left.
    const float left = open ? 1.0f : 0.75f;
    const float right = open ? 0.75f : 1.0f;
    float level = velocity * 0.32f;
    for (size_t i = 0; i < span.count; ++i) {
        const float value = filter.Process(noise.Next()).high * level;
        track.left[span.first + i] += value * left;
        track.right[span.first + i] += value * right;
        level *= decay;
    }
}

void AddCrash(StereoSignal& track, double start, float velocity, uint32_t seed)
{
    const SampleSpan span = SpanOf(start, SoundSeconds(0.8f), track.left.size());
    Noise leftNoise(seed);
    Noise rightNoise(seed * 7919u + 1u);
    Svf leftFilter;
    Svf rightFilter;
    leftFilter.Set(5000.0f, 0.7f);
    rightFilter.Set(5000.0f, 0.7f);
    const float decay = DecayFactor(0.8f);
    float level = velocity * 0.22f;
    for (size_t i = 0; i < span.count; ++i) {
        track.left[span.first + i] += leftFilter.Process(leftNoise.Next()).high * level;
        track.right[span.first + i] += rightFilter.Process(rightNoise.Next()).high * level;
        level *= decay;
    }
}

void AddRiser(StereoSignal& track, double start, double seconds, float velocity, uint32_t seed)
{
    const SampleSpan span = SpanOf(start, seconds, track.left.size());
    const size_t total = static_cast<size_t>(seconds * kSampleRate);
    Noise leftNoise(seed);
    Noise rightNoise(seed * 7919u + 1u);
    Svf leftFilter;
    Svf rightFilter;
    float level = 0.0f;
    for (size_t i = 0; i < span.count; ++i) {
        if (i % kControlInterval == 0) {
            const float progress = static_cast<float>(i) / static_cast<float>(total);
            const float cutoff = 400.0f * std::pow(22.0f, progress);
            leftFilter.Set(cutoff, 3.0f);
            rightFilter.Set(cutoff * 1.05f, 3.0f);
            level = progress * progress * velocity * 0.3f;
        }
        track.left[span.first + i] += leftFilter.Process(leftNoise.Next()).band * level;
        track.right[span.first + i] += rightFilter.Process(rightNoise.Next()).band * level;
    }
}
