#include <cmath>

#include "tools/texgen/materials.h"
#include "tools/texgen/noise.h"

namespace {

constexpr uint32_t kBricksAcross = 4;
constexpr uint32_t kCoursesDown = 8;  // even, so that the half-brick offset tiles

// Fired clay varies from brick to brick: mostly red-brown, some darker, a
// few pale.
Colour BrickClay(uint32_t brick, uint32_t course, uint32_t seed)
{
    const float pick = HashUnit(brick, course, seed);
    const float shade = 0.85f + 0.25f * HashUnit(brick, course, seed + 1);
    const Colour clay = pick < 0.65f   ? Colour{0.55f, 0.24f, 0.16f}
                        : pick < 0.9f  ? Colour{0.38f, 0.17f, 0.12f}
                                       : Colour{0.66f, 0.45f, 0.32f};
    return clay * shade;
}

}  // namespace

MaterialImages MakeBricks(uint32_t width, uint32_t height, uint32_t seed)
{
    MaterialImages m(width, height);
    m.normalStrength = 4.0f;
    const float brickWidth = static_cast<float>(width) / kBricksAcross;
    const float courseHeight = static_cast<float>(height) / kCoursesDown;
    const float mortar = std::max(1.5f, courseHeight * 0.09f);
    const Colour mortarColour{0.52f, 0.50f, 0.46f};
    for (uint32_t row = 0; row < height; ++row) {
        for (uint32_t column = 0; column < width; ++column) {
            const float px = column + 0.5f;
            const float py = row + 0.5f;
            const auto course = static_cast<uint32_t>(py / courseHeight);
            // Every other course is laid half a brick along.
            const float shifted = std::fmod(px + (course % 2) * brickWidth * 0.5f, static_cast<float>(width));
            const GridPlace place = PlaceInGrid(shifted, py, brickWidth, courseHeight);
            const uint32_t brick = place.x;
            const float face = Bevel(place.edge - mortar * 0.5f, mortar);
            const float u = px / width;
            const float v = py / height;
            const float grain = FractalNoise(u, v, 32, 32, 3, seed + 3);
            const float soot = FractalNoise(u, v, 4, 4, 4, seed + 5);
            const float chip = FractalNoise(u, v, 64, 64, 2, seed + 7);

            Colour colour = BrickClay(brick, course, seed) * (0.85f + 0.3f * grain);
            colour = colour * (1.0f - 0.35f * std::max(0.0f, soot - 0.5f));
            colour = Mix(mortarColour * (0.8f + 0.4f * chip), colour, face);
            PutColour(m.colour, row, column, colour);
            m.height.At(row, column) = face * (0.8f + 0.2f * grain) - (chip > 0.7f ? 0.15f * face : 0.0f);
        }
    }
    return m;
}
