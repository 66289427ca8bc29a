#pragma once
// The subset of Windows bitmaps that textures use: a 54-byte header, then
// three bytes per pixel (blue, green, red), bottom row first. The pixel bytes
// are read as one tightly packed array: row padding is not skipped, so only
// images whose rows are a multiple of 4 bytes come out unskewed.

#include <cstdint>
#include <memory>

#include "runtime/file_manager.h"

constexpr uint32_t kBitmapHeaderBytes = 54;

struct DecodedBitmap {
    std::unique_ptr<uint8_t[]> rgb;  // imageSize bytes, red-green-blue
    uint32_t width = 0;
    uint32_t height = 0;
    uint32_t channels = 0;  // imageSize / (width * height)
    uint32_t imageSize = 0;
};

// 0 on success. -1 when the file is shorter than its header, lacks the "BM"
// signature, has no pixels (width x height 0 or image size 0), or claims more
// pixel bytes than it holds or fewer than width x height x 3.
int DecodeBitmap(const ResourceFile& file, DecodedBitmap* out);
