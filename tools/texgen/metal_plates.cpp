#include <cmath>

#include "tools/texgen/materials.h"
#include "tools/texgen/noise.h"

namespace {

struct PlateLayout {
    float plateWidth;
    float plateHeight;
    float seam;        // groove half-width, pixels
    float rivetInset;  // from the plate's edge to a rivet row
    float rivetStep;   // between rivets along an edge
    float rivetRadius;
};

// Height of a rivet's dome (0..1) at a point given relative to its plate.
float RivetDome(float x, float y, const PlateLayout& layout)
{
    const float inset = layout.rivetInset;
    const float step = layout.rivetStep;
    const auto nearestAlong = [&](float along, float length) {
        return std::clamp(std::round((along - inset) / step) * step + inset, inset, length - inset);
    };
    const float rowY = y < layout.plateHeight * 0.5f ? inset : layout.plateHeight - inset;
    const float columnX = x < layout.plateWidth * 0.5f ? inset : layout.plateWidth - inset;
    const float toRow = std::hypot(x - nearestAlong(x, layout.plateWidth), y - rowY);
    const float toColumn = std::hypot(x - columnX, y - nearestAlong(y, layout.plateHeight));
    const float distance = std::min(toRow, toColumn) / layout.rivetRadius;
    return distance < 1.0f ? std::sqrt(1.0f - distance * distance) : 0.0f;
}

}  // namespace

MaterialImages MakeMetalPlates(uint32_t width, uint32_t height, uint32_t seed)
{
    MaterialImages m(width, height);
    m.normalStrength = 3.0f;
    const float unit = static_cast<float>(std::min(width, height)) / 256.0f;
    // Seams and rivets keep a few pixels even on small textures.
    const float plateWidth = width * 0.5f;
    const float rivetInset = std::max(3.0f, 9.0f * unit);
    const PlateLayout plates{plateWidth,
                             height * 0.5f,
                             std::max(1.0f, 1.5f * unit),
                             rivetInset,
                             (plateWidth - 2.0f * rivetInset) / 6.0f,
                             std::max(1.5f, 3.0f * unit)};
    const Colour steel{0.47f, 0.49f, 0.53f};
    const Colour grime{0.10f, 0.09f, 0.08f};
    for (uint32_t row = 0; row < height; ++row) {
        for (uint32_t column = 0; column < width; ++column) {
            const float px = column + 0.5f;
            const float py = row + 0.5f;
            const GridPlace place = PlaceInGrid(px, py, plates.plateWidth, plates.plateHeight);
            const float plate = Bevel(place.edge - plates.seam, 2.0f * plates.seam);
            const float dome = RivetDome(place.lx, place.ly, plates);
            const float u = px / width;
            const float v = py / height;
            const float brushed = FractalNoise(u, v, 2, 96, 3, seed);
            const float dirt = FractalNoise(u, v, 4, 4, 4, seed + 7);
            const float tint = (HashUnit(place.x, place.y, seed) - 0.5f) * 0.12f;

            Colour colour = (steel + Colour{tint, tint, tint}) * (0.8f + 0.35f * brushed);
            colour = Mix(colour, grime,
                         std::clamp((1.0f - plate) * 0.7f + (dirt - 0.45f) * 0.6f, 0.0f, 0.8f));
            colour = Mix(colour, Colour{0.72f, 0.73f, 0.75f}, dome * 0.45f);
            PutColour(m.colour, row, column, colour);
            m.height.At(row, column) = plate * 0.6f + dome * 0.35f + brushed * 0.02f;
        }
    }
    return m;
}
