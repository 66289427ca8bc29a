#pragma once
// A picture as the player shows it: row 0 is the top (v = 0), column 0 the
// left (u = 0); three bytes per pixel, red, green, blue.

#include <cstddef>
#include <cstdint>
#include <vector>

struct RgbImage {
    uint32_t width = 0;
    uint32_t height = 0;
    std::vector<uint8_t> rgb;

    RgbImage() = default;
    RgbImage(uint32_t w, uint32_t h) : width(w), height(h), rgb(size_t{w} * h * 3) {}

    uint8_t* Pixel(uint32_t row, uint32_t column) { return rgb.data() + Offset(row, column); }
    const uint8_t* Pixel(uint32_t row, uint32_t column) const
    {
        return rgb.data() + Offset(row, column);
    }

private:
    size_t Offset(uint32_t row, uint32_t column) const
    {
        return 3 * (size_t{row} * width + column);
    }
};
