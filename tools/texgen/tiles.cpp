#include <cmath>

#include "tools/texgen/materials.h"
#include "tools/texgen/noise.h"

namespace {

constexpr uint32_t kTilesAcross = 4;

// Glazes chosen per tile: mostly off-white, some pale blue, a few dark.
Colour TileGlaze(uint32_t tileX, uint32_t tileY, uint32_t seed)
{
    const float pick = HashUnit(tileX, tileY, seed);
    const float shade = 0.94f + 0.1f * HashUnit(tileX, tileY, seed + 1);
    const Colour glaze = pick < 0.6f   ? Colour{0.86f, 0.85f, 0.80f}
                         : pick < 0.9f ? Colour{0.60f, 0.69f, 0.76f}
                                       : Colour{0.17f, 0.25f, 0.33f};
    return glaze * shade;
}

}  // namespace

MaterialImages MakeTiles(uint32_t width, uint32_t height, uint32_t seed)
{
    MaterialImages m(width, height);
    m.normalStrength = 3.0f;
    const uint32_t tilesDown =
        std::max(1u, static_cast<uint32_t>(std::lround(kTilesAcross * float(height) / width)));
    const float tileWidth = static_cast<float>(width) / kTilesAcross;
    const float tileHeight = static_cast<float>(height) / tilesDown;
    const float grout = std::max(1.5f, tileWidth * 0.035f);
    const Colour groutColour{0.36f, 0.35f, 0.33f};
    for (uint32_t row = 0; row < height; ++row) {
        for (uint32_t column = 0; column < width; ++column) {
            const float px = column + 0.5f;
            const float py = row + 0.5f;
            const GridPlace place = PlaceInGrid(px, py, tileWidth, tileHeight);
            const float tile = Bevel(place.edge - grout * 0.5f, grout);
            const float glazeNoise = FractalNoise(px / width, py / height, 8, 8, 3, seed + 5);
            const float groutNoise = FractalNoise(px / width, py / height, 64, 64, 2, seed + 9);

            const Colour glaze = TileGlaze(place.x, place.y, seed) * (0.97f + 0.06f * glazeNoise);
            const Colour colour = Mix(groutColour * (0.85f + 0.3f * groutNoise), glaze, tile);
            PutColour(m.colour, row, column, colour);
            m.height.At(row, column) = tile + glazeNoise * 0.03f;
        }
    }
    return m;
}
