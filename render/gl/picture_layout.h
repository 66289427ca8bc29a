#pragma once
// Where the picture sits in the window. The picture keeps the aspect ratio
// of the layout the overlays are placed in (1920 x 1080 for the demo): it is
// the largest such rectangle that fits the window, centred, with black bars
// around it. Overlay positions and font sizes are given in layout units and
// scaled to the picture, so a smaller window shows a scaled-down frame.

struct PictureLayout {
    unsigned windowWidth = 0;
    unsigned windowHeight = 0;
    unsigned x = 0;  // the picture's lower-left corner in the window, pixels
    unsigned y = 0;
    unsigned width = 0;
    unsigned height = 0;
    unsigned layoutWidth = 0;
    unsigned layoutHeight = 0;
    float scale = 1.0f;  // picture pixels per layout unit

    static PictureLayout Fit(unsigned windowWidth, unsigned windowHeight, unsigned layoutWidth,
                             unsigned layoutHeight);
};
