#include <cmath>
#include <numbers>

#include "tools/texgen/materials.h"
#include "tools/texgen/noise.h"

MaterialImages MakeMarble(uint32_t width, uint32_t height, uint32_t seed)
{
    MaterialImages m(width, height);
    m.normalStrength = 1.5f;  // polished: only the seams and the odd pit show
    constexpr float kTwoPi = 2.0f * std::numbers::pi_v<float>;
    const float slabWidth = width * 0.5f;
    const float slabHeight = height * 0.5f;
    const float seam = std::max(1.0f, std::min(width, height) / 256.0f);
    const Colour stone{0.86f, 0.82f, 0.74f};
    const Colour vein{0.42f, 0.38f, 0.33f};
    const Colour gold{0.72f, 0.58f, 0.34f};
    for (uint32_t row = 0; row < height; ++row) {
        for (uint32_t column = 0; column < width; ++column) {
            const float px = column + 0.5f;
            const float py = row + 0.5f;
            const float u = px / width;
            const float v = py / height;
            // Veins: bands across the texture, bent by turbulence; both tile.
            const float turbulence = FractalNoise(u, v, 3, 3, 6, seed);
            const float band = std::sin(kTwoPi * (1.0f * u + 1.0f * v) + 7.0f * turbulence);
            const float cross = std::sin(kTwoPi * (2.0f * u - 1.0f * v) + 11.0f * FractalNoise(u, v, 4, 4, 5, seed + 5));
            const float veins = std::max(0.45f * std::pow(1.0f - std::fabs(band), 5.0f),
                                         std::pow(1.0f - std::fabs(cross), 24.0f));
            const float fine = FractalNoise(u, v, 16, 16, 3, seed + 13);
            const float cloud = FractalNoise(u, v, 2, 2, 4, seed + 17);
            const float slab = Bevel(PlaceInGrid(px, py, slabWidth, slabHeight).edge - seam * 0.5f, seam);

            Colour colour = stone * (0.9f + 0.15f * cloud + 0.05f * fine);
            colour = Mix(colour, vein, veins * 0.75f);
            colour = Mix(colour, gold, std::pow(1.0f - std::fabs(band), 40.0f) * 0.5f);
            colour = colour * (0.55f + 0.45f * slab);
            PutColour(m.colour, row, column, colour);
            m.height.At(row, column) = slab * 0.5f - veins * 0.03f + fine * 0.01f;
        }
    }
    return m;
}
