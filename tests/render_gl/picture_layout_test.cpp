#include <gtest/gtest.h>

#include "render/gl/picture_layout.h"

TEST(PictureLayoutTest, ThePictureKeepsTheLayoutsShapeWithBarsAroundIt)
{
    const PictureLayout same = PictureLayout::Fit(1920, 1080, 1920, 1080);
    EXPECT_EQ(same.width, 1920u);
    EXPECT_EQ(same.x + same.y, 0u);
    EXPECT_FLOAT_EQ(same.scale, 1.0f);

    const PictureLayout smaller = PictureLayout::Fit(1280, 720, 1920, 1080);
    EXPECT_EQ(smaller.width, 1280u);
    EXPECT_EQ(smaller.height, 720u);
    EXPECT_FLOAT_EQ(smaller.scale, 2.0f / 3.0f);

    // Square window: bars above and below.
    const PictureLayout square = PictureLayout::Fit(1000, 1000, 1920, 1080);
    EXPECT_EQ(square.width, 1000u);
    EXPECT_EQ(square.height, 563u);
    EXPECT_EQ(square.x, 0u);
    EXPECT_EQ(square.y, (1000u - 563u) / 2);

    // Wide window: bars left and right.
    const PictureLayout wide = PictureLayout::Fit(3000, 1080, 1920, 1080);
    EXPECT_EQ(wide.width, 1920u);
    EXPECT_EQ(wide.height, 1080u);
    EXPECT_EQ(wide.x, 540u);
}
