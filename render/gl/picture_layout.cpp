#include "render/gl/picture_layout.h"

#include <cmath>

namespace {

struct Size {
    unsigned width;
    unsigned height;
};

// The largest rectangle of the layout's shape within the area.
Size FitShape(unsigned areaWidth, unsigned areaHeight, unsigned layoutWidth, unsigned layoutHeight)
{
    Size size{areaWidth, areaHeight};
    if (layoutWidth == 0 || layoutHeight == 0) {
        return size;
    }
    // Compared in integers: an area of exactly the layout's shape has no bars.
    const unsigned long long wide = 1ull * areaWidth * layoutHeight;
    const unsigned long long tall = 1ull * areaHeight * layoutWidth;
    if (wide > tall) {
        size.width = static_cast<unsigned>(std::lround(1.0 * areaHeight * layoutWidth / layoutHeight));
    } else if (wide < tall) {
        size.height = static_cast<unsigned>(std::lround(1.0 * areaWidth * layoutHeight / layoutWidth));
    }
    return size;
}

}  // namespace

PictureLayout PictureLayout::Fit(unsigned windowWidth, unsigned windowHeight, unsigned layoutWidth,
                                 unsigned layoutHeight)
{
    return Fit(windowWidth, windowHeight, windowWidth, windowHeight, layoutWidth, layoutHeight);
}

PictureLayout PictureLayout::Fit(unsigned windowWidth, unsigned windowHeight, unsigned pictureWidth,
                                 unsigned pictureHeight, unsigned layoutWidth, unsigned layoutHeight)
{
    PictureLayout layout;
    layout.windowWidth = windowWidth;
    layout.windowHeight = windowHeight;
    layout.layoutWidth = layoutWidth;
    layout.layoutHeight = layoutHeight;
    const Size drawn = FitShape(pictureWidth, pictureHeight, layoutWidth, layoutHeight);
    const Size shown = FitShape(windowWidth, windowHeight, layoutWidth, layoutHeight);
    layout.width = drawn.width;
    layout.height = drawn.height;
    layout.shownWidth = shown.width;
    layout.shownHeight = shown.height;
    layout.x = (windowWidth - shown.width) / 2;
    layout.y = (windowHeight - shown.height) / 2;
    if (layoutWidth != 0 && layoutHeight != 0) {
        layout.scale = static_cast<float>(drawn.width) / static_cast<float>(layoutWidth);
    }
    return layout;
}
