#pragma once
// Attack-decay-sustain-release envelope, advanced one sample at a time:
// a linear attack, an exponential fall to the sustain level, and an
// exponential release once the note's length has passed.

#include <algorithm>
#include <cmath>
#include <cstddef>

#include "tools/musicgen/song_timing.h"

struct EnvelopeShape {
    float attack;   // seconds to full level
    float decay;    // time constant of the fall to sustain, seconds
    float sustain;  // 0..1
    float release;  // time constant after the note ends, seconds

    // How long a note of `length` seconds sounds, release included (until
    // the level has fallen below 0.3%, where stopping is inaudible).
    double Seconds(double length) const { return length + 6.0 * release; }
};

class Envelope {
public:
    Envelope(const EnvelopeShape& shape, double noteSeconds)
        : shape_(shape),
          attackStep_(1.0f / std::max(1.0f, shape.attack * kSampleRate)),
          decayFactor_(std::exp(-1.0f / (shape.decay * kSampleRate))),
          releaseFactor_(std::exp(-1.0f / (shape.release * kSampleRate))),
          noteSamples_(static_cast<size_t>(noteSeconds * kSampleRate))
    {
    }

    float Next()
    {
        if (sample_++ >= noteSamples_) {
            level_ *= releaseFactor_;
        } else if (attacking_) {
            level_ += attackStep_;
            attacking_ = level_ < 1.0f;
        } else {
            level_ = shape_.sustain + (level_ - shape_.sustain) * decayFactor_;
        }
        return level_;
    }

private:
    EnvelopeShape shape_;
    float attackStep_;
    float decayFactor_;
    float releaseFactor_;
    size_t noteSamples_;
    size_t sample_ = 0;
    float level_ = 0.0f;
    bool attacking_ = true;
};
