#include "world/random.h"

#include <bit>

namespace {

constexpr uint32_t kMultiplier = 16807u;
constexpr uint64_t kDrawsApart = uint64_t{1} << 20;

uint32_t seedState = 1234;
RandomSequence processWide(seedState);
uint64_t sequencesHandedOut = 0;

}  // namespace

float RandomSequence::Next()
{
    state_ *= kMultiplier;  // modulo 2^32
    // The top 23 bits of the state as the mantissa of a float in [2, 4).
    const uint32_t bits = (state_ >> 9) | 0x40000000u;
    return std::bit_cast<float>(bits) - 3.0f;
}

RandomSequence RandomSequence::Skipped(uint64_t draws) const
{
    // state x multiplier^draws (modulo 2^32), by repeated squaring.
    uint32_t state = state_;
    uint32_t power = kMultiplier;
    for (; draws > 0; draws >>= 1, power *= power) {
        if (draws & 1) {
            state *= power;
        }
    }
    return RandomSequence(state);
}

float NextRandom()
{
    return processWide.Next();
}

RandomSequence NewRandomSequence()
{
    return RandomSequence(seedState).Skipped(kDrawsApart * sequencesHandedOut++);
}

void SeedRandom(uint32_t state)
{
    seedState = state;
    processWide = RandomSequence(state);
    sequencesHandedOut = 0;
}
