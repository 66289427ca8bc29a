#pragma once
// Tangent-space normal maps derived from height fields.
//
// Axes: x along the tangent (u grows, left to right in the picture), y along
// the binormal (v grows, top to bottom), z out of the surface. Each component
// is stored as (n * 0.5 + 0.5) * 255 in red, green and blue, so a flat
// surface is (128, 128, 255).

#include <cstdint>
#include <vector>

#include "tools/common/rgb_image.h"

// Heights in the same layout as the picture: row 0 at the top.
struct HeightField {
    uint32_t width = 0;
    uint32_t height = 0;
    std::vector<float> heights;

    HeightField() = default;
    HeightField(uint32_t w, uint32_t h) : width(w), height(h), heights(size_t{w} * h, 0.0f) {}

    float& At(uint32_t row, uint32_t column) { return heights[size_t{row} * width + column]; }
    // Rows and columns wrap around: textures tile.
    float Wrapped(int64_t row, int64_t column) const;
};

// The normal of every pixel from central differences of its neighbours'
// heights. The slopes (height change per pixel) are multiplied by strength
// before the normal (-slope_u, -slope_v, 1) is normalised.
RgbImage NormalMapFromHeights(const HeightField& field, float strength);
