#include <cmath>

#include "tools/texgen/materials.h"
#include "tools/texgen/noise.h"

namespace {

constexpr uint32_t kPitCells = 24;

// Depth (0..1) of the pit, if any, in the lattice cell around (u, v).
float PitDepth(float u, float v, uint32_t seed)
{
    const float x = u * kPitCells;
    const float y = v * kPitCells;
    const auto cellX = static_cast<uint32_t>(x);
    const auto cellY = static_cast<uint32_t>(y);
    if (HashUnit(cellX, cellY, seed) > 0.3f) {
        return 0.0f;
    }
    const float centreX = cellX + 0.3f + 0.4f * HashUnit(cellX, cellY, seed + 1);
    const float centreY = cellY + 0.3f + 0.4f * HashUnit(cellX, cellY, seed + 2);
    const float radius = 0.08f + 0.12f * HashUnit(cellX, cellY, seed + 3);
    const float distance = std::hypot(x - centreX, y - centreY) / radius;
    return distance < 1.0f ? 1.0f - distance * distance : 0.0f;
}

}  // namespace

MaterialImages MakeConcrete(uint32_t width, uint32_t height, uint32_t seed)
{
    MaterialImages m(width, height);
    m.normalStrength = 4.0f;
    for (uint32_t row = 0; row < height; ++row) {
        for (uint32_t column = 0; column < width; ++column) {
            const float u = (column + 0.5f) / width;
            const float v = (row + 0.5f) / height;
            const float broad = FractalNoise(u, v, 4, 4, 5, seed);
            const float fine = FractalNoise(u, v, 48, 48, 2, seed + 11);
            const float streaks = FractalNoise(u, v, 24, 1, 3, seed + 23);
            const float pit = PitDepth(u, v, seed + 31);
            const float speck = HashUnit(column, row, seed + 41);
            // A formwork joint runs along the top edge (and so, tiled, between copies).
            const float fromJoint = std::min(row + 0.5f, height - row - 0.5f);
            const float joint = 1.0f - Bevel(fromJoint - 1.0f, 2.5f);

            float grey = 0.44f + (broad - 0.5f) * 0.28f + (fine - 0.5f) * 0.14f;
            grey -= std::max(0.0f, streaks - 0.55f) * 0.35f;
            grey += speck > 0.985f ? 0.12f : speck < 0.01f ? -0.12f : 0.0f;
            grey *= 1.0f - 0.5f * pit - 0.35f * joint;
            PutColour(m.colour, row, column, Colour{grey * 1.03f, grey, grey * 0.96f});
            m.height.At(row, column) = broad * 0.5f + fine * 0.25f - pit * 0.8f - joint * 0.6f;
        }
    }
    return m;
}
