#pragma once
// Decoding texture bitmaps: the pixels of the bitmap file format, turned
// from blue-green-red into red-green-blue.

#include <cstdint>
#include <memory>
#include <string>

#include "core/file_manager.h"
#include "formats/bitmap_file.h"

struct DecodedBitmap {
    std::unique_ptr<uint8_t[]> rgb;  // imageSize bytes, red-green-blue
    uint32_t width = 0;
    uint32_t height = 0;
    uint32_t channels = 0;  // imageSize / (width * height)
    uint32_t imageSize = 0;
};

// 0 on success. -1 when the file is shorter than its header, lacks the "BM"
// signature, is not an uncompressed 24-bit bitmap with its pixels right after
// the 54-byte header, stores its rows top-down, has no pixels (width x height
// 0), or claims more pixel bytes than it holds or fewer than width x height x
// 3; then *why, when given, says which.
int DecodeBitmap(const ResourceFile& file, DecodedBitmap* out, std::string* why = nullptr);
