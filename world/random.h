#pragma once
// The process-wide pseudo-random sequence of the actors: a multiplicative
// congruential generator, deterministic from start-up.

#include <cstdint>

// The next value, in [-1, 1).
float NextRandom();
// Restarts the sequence from the given state (1234 at start-up).
void SeedRandom(uint32_t state);
