#include "tools/common/normal_map.h"

#include <cmath>

#include "tools/common/vector_math.h"

namespace {

uint8_t EncodeComponent(float value)
{
    const long encoded = std::lround((value * 0.5f + 0.5f) * 255.0f);
    return static_cast<uint8_t>(encoded < 0 ? 0 : encoded > 255 ? 255 : encoded);
}

}  // namespace

float HeightField::Wrapped(int64_t row, int64_t column) const
{
    const int64_t h = height;
    const int64_t w = width;
    const int64_t r = ((row % h) + h) % h;
    const int64_t c = ((column % w) + w) % w;
    return heights[static_cast<size_t>(r * w + c)];
}

RgbImage NormalMapFromHeights(const HeightField& field, float strength)
{
    RgbImage image(field.width, field.height);
    for (uint32_t row = 0; row < field.height; ++row) {
        for (uint32_t column = 0; column < field.width; ++column) {
            const int64_t r = row;
            const int64_t c = column;
            const float slopeU = (field.Wrapped(r, c + 1) - field.Wrapped(r, c - 1)) * 0.5f;
            const float slopeV = (field.Wrapped(r + 1, c) - field.Wrapped(r - 1, c)) * 0.5f;
            const Float3 normal = Normalized({-slopeU * strength, -slopeV * strength, 1.0f});
            uint8_t* pixel = image.Pixel(row, column);
            pixel[0] = EncodeComponent(normal.x);
            pixel[1] = EncodeComponent(normal.y);
            pixel[2] = EncodeComponent(normal.z);
        }
    }
    return image;
}
