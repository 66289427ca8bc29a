#include "render/gl/picture_layout.h"

#include <cmath>

PictureLayout PictureLayout::Fit(unsigned windowWidth, unsigned windowHeight, unsigned layoutWidth,
                                 unsigned layoutHeight)
{
    PictureLayout layout;
    layout.windowWidth = windowWidth;
    layout.windowHeight = windowHeight;
    layout.layoutWidth = layoutWidth;
    layout.layoutHeight = layoutHeight;
    layout.width = windowWidth;
    layout.height = windowHeight;
    if (layoutWidth == 0 || layoutHeight == 0) {
        return layout;
    }
    // Compared in integers: a window of exactly the layout's shape has no bars.
    const unsigned long long wide = 1ull * windowWidth * layoutHeight;
    const unsigned long long tall = 1ull * windowHeight * layoutWidth;
    if (wide > tall) {
        layout.width = static_cast<unsigned>(std::lround(1.0 * windowHeight * layoutWidth / layoutHeight));
    } else if (wide < tall) {
        layout.height = static_cast<unsigned>(std::lround(1.0 * windowWidth * layoutHeight / layoutWidth));
    }
    layout.x = (windowWidth - layout.width) / 2;
    layout.y = (windowHeight - layout.height) / 2;
    layout.scale = static_cast<float>(layout.width) / static_cast<float>(layoutWidth);
    return layout;
}
