#pragma once
// Building blocks of the synthesiser: noise, a band-limited sawtooth, a
// state-variable filter and the span of samples a sound covers.

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <numbers>

#include "tools/musicgen/song_timing.h"

constexpr float kTwoPi = 2.0f * std::numbers::pi_v<float>;

// White noise in -1..1 from a xorshift generator: the same seed, the same noise.
class Noise {
public:
    explicit Noise(uint32_t seed) : state_(seed ? seed : 0x9E3779B9u) {}
    float Next()
    {
        state_ ^= state_ << 13;
        state_ ^= state_ >> 17;
        state_ ^= state_ << 5;
        return static_cast<float>(static_cast<int32_t>(state_)) * (1.0f / 2147483648.0f);
    }

private:
    uint32_t state_;
};

// Sawtooth in -1..1 with its jumps smoothed (polyBLEP), so that high notes
// do not alias.
class Saw {
public:
    Saw(float frequency, float startPhase) : phase_(startPhase) { SetFrequency(frequency); }
    void SetFrequency(float frequency) { step_ = frequency / kSampleRate; }
    float Next()
    {
        const double t = phase_;
        double value = 2.0 * t - 1.0;
        if (t < step_) {
            const double x = t / step_;
            value -= x + x - x * x - 1.0;
        } else if (t > 1.0 - step_) {
            const double x = (t - 1.0) / step_;
            value -= x * x + x + x + 1.0;
        }
        phase_ += step_;
        phase_ -= std::floor(phase_);
        return static_cast<float>(value);
    }

private:
    double phase_;
    double step_ = 0.0;
};

// Two-pole state-variable filter (trapezoidal integration: stable at any
// cutoff). Setting the cutoff costs a tangent; callers do it every few
// dozen samples.
class Svf {
public:
    struct Outputs {
        float low, band, high;
    };
    // resonance: 0.5 (none to speak of) .. 20 (ringing)
    void Set(float cutoff, float resonance)
    {
        const float g = std::tan(std::numbers::pi_v<float> *
                                 std::clamp(cutoff, 20.0f, 0.45f * kSampleRate) / kSampleRate);
        k_ = 1.0f / resonance;
        a1_ = 1.0f / (1.0f + g * (g + k_));
        a2_ = g * a1_;
        a3_ = g * a2_;
    }
    Outputs Process(float input)
    {
        const float v3 = input - ic2_;
        const float v1 = a1_ * ic1_ + a2_ * v3;
        const float v2 = ic2_ + a2_ * ic1_ + a3_ * v3;
        ic1_ = 2.0f * v1 - ic1_;
        ic2_ = 2.0f * v2 - ic2_;
        return {v2, v1, input - k_ * v1 - v2};
    }

private:
    float k_ = 1.0f, a1_ = 0.0f, a2_ = 0.0f, a3_ = 0.0f;
    float ic1_ = 0.0f, ic2_ = 0.0f;
};

// How often voices recompute their filter settings.
constexpr int kControlInterval = 32;

// The samples a sound starting at `start` seconds and lasting `seconds`
// covers within a track of `trackSize` samples.
struct SampleSpan {
    size_t first = 0;
    size_t count = 0;
};

inline SampleSpan SpanOf(double start, double seconds, size_t trackSize)
{
    const int64_t first = std::max<int64_t>(0, SampleAt(start));
    const int64_t end =
        std::min<int64_t>(static_cast<int64_t>(trackSize), SampleAt(start + seconds));
    if (first >= end) {
        return {};
    }
    return {static_cast<size_t>(first), static_cast<size_t>(end - first)};
}
