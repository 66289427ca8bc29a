#include "tools/texgen/materials.h"

MaterialImages MakeTestCard(uint32_t width, uint32_t height, uint32_t)
{
    MaterialImages m(width, height);
    const Colour quarters[2][2] = {{{1, 0, 0}, {0, 1, 0}}, {{0, 0, 1}, {1, 1, 1}}};
    for (uint32_t row = 0; row < height; ++row) {
        for (uint32_t column = 0; column < width; ++column) {
            const bool lower = row >= height / 2;
            const bool right = column >= width / 2;
            PutColour(m.colour, row, column, quarters[lower][right]);
        }
    }
    return m;  // the height field stays flat
}
