#include "tools/texgen/noise.h"

#include <cmath>

uint32_t Hash3(uint32_t a, uint32_t b, uint32_t c)
{
    uint32_t h =
        a * 0x9E3779B1u ^ (b + 0x7F4A7C15u) * 0x85EBCA77u ^ (c + 0x165667B1u) * 0xC2B2AE3Du;
    h ^= h >> 16;
    h *= 0x7FEB352Du;
    h ^= h >> 15;
    h *= 0x846CA68Bu;
    h ^= h >> 16;
    return h;
}

float HashUnit(uint32_t a, uint32_t b, uint32_t c)
{
    return static_cast<float>(Hash3(a, b, c) >> 8) * (1.0f / 16777216.0f);
}

namespace {

float SmoothStep(float t)
{
    return t * t * (3.0f - 2.0f * t);
}

uint32_t Wrap(int64_t cell, uint32_t period)
{
    const int64_t p = period;
    return static_cast<uint32_t>(((cell % p) + p) % p);
}

}  // namespace

float ValueNoise(float x, float y, uint32_t periodX, uint32_t periodY, uint32_t seed)
{
    const float fx = std::floor(x);
    const float fy = std::floor(y);
    const auto cx = static_cast<int64_t>(fx);
    const auto cy = static_cast<int64_t>(fy);
    const float tx = SmoothStep(x - fx);
    const float ty = SmoothStep(y - fy);
    const uint32_t x0 = Wrap(cx, periodX);
    const uint32_t x1 = Wrap(cx + 1, periodX);
    const uint32_t y0 = Wrap(cy, periodY);
    const uint32_t y1 = Wrap(cy + 1, periodY);
    const float top =
        HashUnit(x0, y0, seed) + (HashUnit(x1, y0, seed) - HashUnit(x0, y0, seed)) * tx;
    const float bottom =
        HashUnit(x0, y1, seed) + (HashUnit(x1, y1, seed) - HashUnit(x0, y1, seed)) * tx;
    return top + (bottom - top) * ty;
}

float FractalNoise(float x, float y, uint32_t cellsX, uint32_t cellsY, int octaves, uint32_t seed)
{
    float sum = 0.0f;
    float weight = 1.0f;
    float total = 0.0f;
    for (int octave = 0; octave < octaves; ++octave) {
        const uint32_t scale = 1u << octave;
        sum += weight * ValueNoise(x * static_cast<float>(cellsX * scale),
                                   y * static_cast<float>(cellsY * scale), cellsX * scale,
                                   cellsY * scale, seed + static_cast<uint32_t>(octave) * 101u);
        total += weight;
        weight *= 0.5f;
    }
    return sum / total;
}
