#pragma once
// Deterministic, tileable noise for procedural textures. Coordinates are in
// lattice cells; a pattern with period p repeats every p cells, so a texture
// that spans whole periods tiles without seams.

#include <cstdint>

// A well-mixed 32-bit hash of three integers.
uint32_t Hash3(uint32_t a, uint32_t b, uint32_t c);
// The hash as a number in [0, 1).
float HashUnit(uint32_t a, uint32_t b, uint32_t c);

// Smoothly interpolated random values at lattice points, in [0, 1).
float ValueNoise(float x, float y, uint32_t periodX, uint32_t periodY, uint32_t seed);

// Sum of `octaves` layers of value noise, each of twice the frequency and
// half the weight of the one before, scaled back into [0, 1). x and y are in
// 0..1 across the texture; `cells` is the coarsest layer's lattice size.
float FractalNoise(float x, float y, uint32_t cellsX, uint32_t cellsY, int octaves, uint32_t seed);
