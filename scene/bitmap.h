#pragma once
// Decoding texture bitmaps: the pixels of the bitmap file format, turned
// from blue-green-red into red-green-blue.

#include <cstdint>
#include <memory>
#include <string>

#include "core/file_manager.h"
#include "core/file_read.h"
#include "formats/bitmap_file.h"

struct DecodedBitmap {
    std::unique_ptr<uint8_t[]> rgb;  // imageSize bytes, red-green-blue
    uint32_t width = 0;
    uint32_t height = 0;
    uint32_t channels = 0;  // imageSize / (width * height)
    uint32_t imageSize = 0;
};

// Why a bitmap is refused, from its first bytes (at least its 54-byte header
// where the file has them) and the file's size: shorter than its header, no
// "BM" signature, not an uncompressed 24-bit bitmap with its pixels right
// after the header, rows stored top-down, no pixels (width x height 0), more
// pixel bytes claimed than the file holds or fewer than width x height x 3.
// Empty when it is taken. The one statement of the format, for the loader
// and the checker alike.
std::string BitmapHeaderProblem(const uint8_t* head, size_t headSize, uint64_t fileSize);
// Why a texture of width x height pixels cannot be made where a texture is
// at most maxSide pixels a side; empty when it can, or when maxSide is 0
// (not known).
std::string TextureSizeProblem(uint32_t width, uint32_t height, uint32_t maxSide);
// How a texture bitmap is read: refused from its header, by the format's
// rules and, when maxSide is not 0, by its size, before a pixel is read; of
// a bitmap taken, only the header and the pixels its header claims. A
// refusal for its size sets *tooLarge (when given).
ReadAdmission BitmapAdmission(uint32_t maxSide, bool* tooLarge = nullptr);

// 0 on success. -1 when the file is shorter than its header, lacks the "BM"
// signature, is not an uncompressed 24-bit bitmap with its pixels right after
// the 54-byte header, stores its rows top-down, has no pixels (width x height
// 0), or claims more pixel bytes than it holds or fewer than width x height x
// 3; then *why, when given, says which.
int DecodeBitmap(const ResourceFile& file, DecodedBitmap* out, std::string* why = nullptr);
