#pragma once
// Where the picture sits in the window. The picture keeps the aspect ratio
// of the layout the overlays are placed in (1920 x 1080 for the demo): it is
// drawn at the largest such size that fits the size asked for, and shown as
// the largest such rectangle that fits the window, centred, with black bars
// around it (scaled when the two differ, as on a full screen of another
// size). Overlay positions and font sizes are given in layout units and
// scaled to the drawn picture, so a smaller picture is a scaled-down frame.

struct PictureLayout {
    unsigned windowWidth = 0;
    unsigned windowHeight = 0;
    unsigned x = 0;  // the picture's lower-left corner in the window, pixels
    unsigned y = 0;
    unsigned width = 0;  // the picture as drawn, pixels
    unsigned height = 0;
    unsigned shownWidth = 0;  // the picture as shown in the window, pixels
    unsigned shownHeight = 0;
    unsigned layoutWidth = 0;
    unsigned layoutHeight = 0;
    float scale = 1.0f;  // drawn picture pixels per layout unit

    // Drawn at the window's size.
    static PictureLayout Fit(unsigned windowWidth, unsigned windowHeight, unsigned layoutWidth,
                             unsigned layoutHeight);
    // Drawn at (at most) pictureWidth x pictureHeight, shown fitted into the window.
    static PictureLayout Fit(unsigned windowWidth, unsigned windowHeight, unsigned pictureWidth,
                             unsigned pictureHeight, unsigned layoutWidth, unsigned layoutHeight);
};
