#pragma once
// What a procedural material is made of: the colour picture and the height
// field its normal map is derived from, in the same layout (row 0 at the
// top), plus helpers to paint them.

#include <algorithm>
#include <cstdint>

#include "tools/common/normal_map.h"
#include "tools/common/rgb_image.h"

struct MaterialImages {
    RgbImage colour;
    HeightField height;
    float normalStrength = 4.0f;  // slope multiplier for the normal map

    MaterialImages(uint32_t width, uint32_t height) : colour(width, height), height(width, height)
    {
    }
};

// A colour with components in 0..1.
struct Colour {
    float r = 0.0f;
    float g = 0.0f;
    float b = 0.0f;
};

inline Colour operator*(Colour c, float s)
{
    return {c.r * s, c.g * s, c.b * s};
}
inline Colour operator+(Colour a, Colour b)
{
    return {a.r + b.r, a.g + b.g, a.b + b.b};
}
inline Colour Mix(Colour a, Colour b, float t)
{
    return a * (1.0f - t) + b * t;
}

inline void PutColour(RgbImage& image, uint32_t row, uint32_t column, Colour c)
{
    uint8_t* pixel = image.Pixel(row, column);
    const float components[3] = {c.r, c.g, c.b};
    for (int k = 0; k < 3; ++k) {
        pixel[k] = static_cast<uint8_t>(std::clamp(components[k], 0.0f, 1.0f) * 255.0f + 0.5f);
    }
}

// Where a point lies in a grid of equal cells (bricks, tiles, slabs,
// plates): the cell's column and row, the point's place inside the cell, and
// its distance from the cell's nearest edge, all in pixels.
struct GridPlace {
    uint32_t x;
    uint32_t y;
    float lx;
    float ly;
    float edge;
};

inline GridPlace PlaceInGrid(float px, float py, float cellWidth, float cellHeight)
{
    const auto x = static_cast<uint32_t>(px / cellWidth);
    const auto y = static_cast<uint32_t>(py / cellHeight);
    const float lx = px - x * cellWidth;
    const float ly = py - y * cellHeight;
    return {x, y, lx, ly, std::min({lx, cellWidth - lx, ly, cellHeight - ly})};
}

// 0 at edge, rising to 1 over `width` (smoothly), for bevels and grooves.
inline float Bevel(float distanceFromEdge, float width)
{
    const float t = std::clamp(distanceFromEdge / width, 0.0f, 1.0f);
    return t * t * (3.0f - 2.0f * t);
}
