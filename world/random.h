#pragma once
// The pseudo-random numbers of the actors: a multiplicative congruential
// generator, deterministic from start-up. The process-wide sequence serves
// whoever draws from it in turn; a consumer whose draws must not depend on
// how often others draw (a flickering light, whose pattern must be the same
// at every frame rate) takes a sequence of its own.

#include <cstdint>

class RandomSequence {
public:
    explicit RandomSequence(uint32_t state) : state_(state) {}

    // The next value, in [-1, 1).
    float Next();
    // This sequence as it stands `draws` values further on.
    RandomSequence Skipped(uint64_t draws) const;

private:
    uint32_t state_;
};

// The next value of the process-wide sequence, in [-1, 1).
float NextRandom();
// A sequence of its own: the n-th one handed out since start-up (or the last
// SeedRandom) gives the values the process-wide sequence gives from its
// (n x 2^20)-th draw on, so the first one repeats the process-wide values and
// no two overlap in any run.
RandomSequence NewRandomSequence();
// Restarts the process-wide sequence from the given state (1234 at
// start-up), and the sequences handed out from then on from it.
void SeedRandom(uint32_t state);
