#pragma once
// Pictures read from ordinary image files (PNG, JPEG, TGA, BMP, PNM, ...),
// made fit for the player.

#include <string>

#include "tools/common/normal_map.h"
#include "tools/common/rgb_image.h"

struct LoadedPicture {
    RgbImage image;
    std::string error;  // empty on success
};

// Reads the picture, top row first, and crops the columns beyond the last
// multiple of 4 (half on each side) so that the player can read it.
LoadedPicture LoadPictureForTexture(const std::string& path);

// Heights from the picture's brightness: black 0, white 1.
HeightField HeightFromBrightness(const RgbImage& image);
