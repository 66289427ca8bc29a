#pragma once
// Texture bitmaps in the subset the player reads: 24 bits per pixel, a
// 54-byte header, the pixel rows packed without padding, so the width must
// be a multiple of 4 for the rows to be valid bitmap rows.
//
// Orientation: the player takes the stored rows, in file order, as the
// texture's rows from the top (v = 0) and mirrors every row left to right.
// The writer therefore stores the picture's top row first and every row from
// right to left, and the player ends up with the picture as drawn. (A bitmap
// viewer, which shows the first stored row at the bottom, shows the file
// turned by half a turn.)

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

#include "tools/common/rgb_image.h"

constexpr uint32_t kMaxTextureSide = 8192;

// Empty when the player can read a texture of this size, otherwise why not.
std::string CheckTextureSize(uint32_t width, uint32_t height);

// The file's bytes; the image's size must pass CheckTextureSize.
std::vector<uint8_t> EncodeTextureBitmap(const RgbImage& image);

// Checks the size and writes the file: empty on success, otherwise the reason.
std::string WriteTextureBitmap(const std::filesystem::path& path, const RgbImage& image);
