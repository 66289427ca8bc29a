#include <cmath>

#include "tools/texgen/materials.h"
#include "tools/texgen/noise.h"

namespace {

constexpr uint32_t kColumns = 4;
constexpr uint32_t kRows = 4;  // even, so that the offset rows tile

struct Cell {
    uint32_t column = 0;
    uint32_t row = 0;
    float dx = 0.0f;  // from the cell's centre, in units of the plate spacing
    float dy = 0.0f;
};

// The plate whose centre is nearest, on a lattice of offset rows squeezed
// to whole rows and columns so that it tiles; coordinates in pixels.
Cell NearestPlate(float px, float py, float width, float height)
{
    const float spacing = width / kColumns;
    const float rowHeight = height / kRows;
    // Rows of a regular hexagonal lattice lie sqrt(3)/2 spacings apart.
    const float squeeze = spacing * 0.8660254f / rowHeight;
    Cell best;
    float nearest = 1e9f;
    const int row0 = static_cast<int>(std::floor(py / rowHeight));
    for (int r = row0 - 1; r <= row0 + 1; ++r) {
        const float offset = (((r % 2) + 2) % 2) * 0.5f;
        const int column0 = static_cast<int>(std::floor(px / spacing - offset));
        for (int c = column0 - 1; c <= column0 + 1; ++c) {
            const float dx = (px - (c + 0.5f + offset) * spacing) / spacing;
            const float dy = (py - (r + 0.5f) * rowHeight) * squeeze / spacing;
            const float distance = dx * dx + dy * dy;
            if (distance < nearest) {
                nearest = distance;
                best = Cell{static_cast<uint32_t>((c % int(kColumns) + int(kColumns)) % int(kColumns)),
                            static_cast<uint32_t>((r % int(kRows) + int(kRows)) % int(kRows)), dx, dy};
            }
        }
    }
    return best;
}

// Distance from the point to its hexagon's edge, in plate spacings: the
// edges face the six neighbours, at 0, 60 and 120 degrees.
float EdgeDistance(const Cell& cell)
{
    const float toNeighbours = std::max({std::fabs(cell.dx), std::fabs(0.5f * cell.dx + 0.8660254f * cell.dy),
                                         std::fabs(-0.5f * cell.dx + 0.8660254f * cell.dy)});
    return 0.5f - toNeighbours;
}

}  // namespace

MaterialImages MakeHexPlates(uint32_t width, uint32_t height, uint32_t seed)
{
    MaterialImages m(width, height);
    m.normalStrength = 3.5f;
    const float w = static_cast<float>(width);
    const float h = static_cast<float>(height);
    const float seam = std::max(0.012f, 2.0f / (w / kColumns));  // in plate spacings
    const Colour gunmetal{0.20f, 0.22f, 0.25f};
    const Colour groove{0.04f, 0.04f, 0.05f};
    const Colour bolt{0.55f, 0.57f, 0.60f};
    for (uint32_t row = 0; row < height; ++row) {
        for (uint32_t column = 0; column < width; ++column) {
            const float px = column + 0.5f;
            const float py = row + 0.5f;
            const Cell cell = NearestPlate(px, py, w, h);
            const float plate = Bevel(EdgeDistance(cell) - seam, 2.0f * seam);
            const float centre = std::hypot(cell.dx, cell.dy);
            const float boltDome = centre < 0.05f ? std::sqrt(1.0f - (centre / 0.05f) * (centre / 0.05f)) : 0.0f;
            const float ring = std::exp(-std::pow((centre - 0.22f) / 0.015f, 2.0f));
            const float brushed = FractalNoise(px / w, py / h, 3, 48, 3, seed);
            const float wear = FractalNoise(px / w, py / h, 6, 6, 4, seed + 3);
            const float tint = (HashUnit(cell.column, cell.row, seed) - 0.5f) * 0.08f;

            Colour colour = (gunmetal + Colour{tint, tint, tint * 1.2f}) * (0.8f + 0.35f * brushed);
            colour = colour * (1.0f - 0.25f * ring) + Colour{0.1f, 0.1f, 0.1f} * std::max(0.0f, wear - 0.6f);
            colour = Mix(groove, colour, plate);
            colour = Mix(colour, bolt, boltDome);
            PutColour(m.colour, row, column, colour);
            m.height.At(row, column) = plate * 0.7f - ring * 0.08f + boltDome * 0.3f + brushed * 0.02f;
        }
    }
    return m;
}
