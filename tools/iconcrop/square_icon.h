#pragma once
// A square icon cut from a picture of another shape: the square in the
// middle of the picture (as wide as its shorter side), scaled down by
// averaging, so that every pixel of the icon is the mean of the area of the
// picture it covers.

#include <cstdint>

#include "tools/common/rgb_image.h"

// The middle square of `picture`, `side` pixels a side; `side` is at most
// the picture's shorter side.
RgbImage SquareIcon(const RgbImage& picture, uint32_t side);
