#include <cmath>

#include "tools/texgen/materials.h"
#include "tools/texgen/noise.h"

namespace {

constexpr float kStripRows[3] = {0.3f, 0.5f, 0.7f};  // centres, as fractions of the height

// Distance in pixels from a point to the nearest light strip (0 inside one).
float DistanceToStrip(float px, float py, float width, float height)
{
    const float halfThickness = height * 0.022f;
    const float left = width * 0.16f;
    const float right = width * 0.84f;
    const float dx = std::max({left - px, 0.0f, px - right});
    float nearest = 1e9f;
    for (float centre : kStripRows) {
        const float dy = std::max(0.0f, std::fabs(py - centre * height) - halfThickness);
        nearest = std::min(nearest, std::hypot(dx, dy));
    }
    return nearest;
}

// Distance in pixels to the nearest of the indicator lamps in the lower
// right corner.
float DistanceToLamp(float px, float py, float width, float height)
{
    float nearest = 1e9f;
    for (int lamp = 0; lamp < 3; ++lamp) {
        const float x = width * (0.66f + 0.07f * lamp);
        nearest = std::min(nearest, std::hypot(px - x, py - height * 0.86f));
    }
    return nearest;
}

}  // namespace

MaterialImages MakeLightPanel(uint32_t width, uint32_t height, uint32_t seed)
{
    MaterialImages m(width, height);
    m.normalStrength = 3.0f;
    const float w = static_cast<float>(width);
    const float h = static_cast<float>(height);
    const float border = std::min(w, h) * 0.07f;
    const float glowReach = h * 0.035f;
    const float lampRadius = std::min(w, h) * 0.018f;
    const Colour panel{0.08f, 0.09f, 0.11f};
    const Colour frame{0.24f, 0.25f, 0.27f};
    const Colour light{0.80f, 0.97f, 1.00f};
    const Colour glow{0.10f, 0.55f, 0.90f};
    const Colour amber{1.00f, 0.55f, 0.10f};
    for (uint32_t row = 0; row < height; ++row) {
        for (uint32_t column = 0; column < width; ++column) {
            const float px = column + 0.5f;
            const float py = row + 0.5f;
            const float edge = std::min({px, w - px, py, h - py});
            const float inside = Bevel(edge - border, border * 0.3f);
            const float strip = DistanceToStrip(px, py, w, h);
            const float lamp = DistanceToLamp(px, py, w, h);
            const float brushed = FractalNoise(px / w, py / h, 2, 64, 3, seed);

            Colour colour = Mix(frame, panel, inside) * (0.85f + 0.3f * brushed);
            colour = colour + glow * (0.55f * std::exp(-strip / glowReach) * inside);
            colour = Mix(colour, light, strip <= 0.0f ? 1.0f : 0.0f);
            colour = colour + amber * (0.5f * std::exp(-lamp / lampRadius));
            colour = Mix(colour, Colour{1.0f, 0.8f, 0.45f}, lamp < lampRadius ? 1.0f : 0.0f);
            PutColour(m.colour, row, column, colour);
            const float recess = strip <= 0.0f || lamp < lampRadius ? 0.25f : 0.0f;
            m.height.At(row, column) = 1.0f - 0.5f * inside - recess + brushed * 0.02f;
        }
    }
    return m;
}
