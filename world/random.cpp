#include "world/random.h"

#include <bit>

namespace {
uint32_t randomState = 1234;
}

float NextRandom()
{
    randomState *= 16807u;  // modulo 2^32
    // The top 23 bits of the state as the mantissa of a float in [2, 4).
    const uint32_t bits = (randomState >> 9) | 0x40000000u;
    return std::bit_cast<float>(bits) - 3.0f;
}

void SeedRandom(uint32_t state)
{
    randomState = state;
}
