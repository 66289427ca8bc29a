#include <gtest/gtest.h>

#include "render/gl/picture_layout.h"

TEST(PictureLayoutTest, ThePictureKeepsTheLayoutsShapeWithBarsAroundIt)
{
    // A window for a 1920 x 1080 layout, and the picture's x, y, width,
    // height and scale in it.
    const std::pair<std::pair<unsigned, unsigned>, std::vector<float>> cases[] = {
        {{1920, 1080}, {0, 0, 1920, 1080, 1}},
        {{1280, 720}, {0, 0, 1280, 720, 2.0f / 3.0f}},
        {{1000, 1000}, {0, 218, 1000, 563, 1000.0f / 1920.0f}},  // square: bars above and below
        {{3000, 1080}, {540, 0, 1920, 1080, 1}},                 // wide: bars left and right
    };
    for (const auto& [window, picture] : cases) {
        const PictureLayout fit = PictureLayout::Fit(window.first, window.second, 1920, 1080);
        EXPECT_EQ(std::vector<float>({float(fit.x), float(fit.y), float(fit.width), float(fit.height), fit.scale}),
                  picture);
    }
}
