#pragma once
// Raw model and bitmap files for the loader tests, byte by byte, so that
// tests can also write what the writers of real content never would.

#include <cstdint>
#include <vector>

#include "formats/bitmap_file.h"
#include "formats/little_endian.h"
#include "formats/model_file.h"

// A mesh file whose vertex v has float f equal to 100 * v + f; `records`
// vertex records are written whatever the count says (all by default).
inline std::vector<uint8_t> MeshFile(uint32_t count, uint32_t magic = kModelFileMagic, uint32_t records = ~0u)
{
    std::vector<uint8_t> bytes;
    AppendU32(bytes, count);
    AppendU32(bytes, magic);
    for (uint32_t v = 0; v < (records == ~0u ? count : records); ++v) {
        for (uint32_t f = 0; f < kModelFloatsPerVertex; ++f) {
            AppendF32(bytes, 100.0f * static_cast<float>(v) + static_cast<float>(f));
        }
    }
    return bytes;
}

// A 24-bit bitmap: 54-byte header, then the given pixel bytes as stored
// (bottom row first, blue-green-red). imageSize defaults to the pixel bytes.
inline std::vector<uint8_t> BitmapFile(uint32_t width, uint32_t height, const std::vector<uint8_t>& pixels,
                                       uint32_t imageSize = ~0u)
{
    std::vector<uint8_t> bytes;
    AppendBitmapHeader(bytes, width, height, imageSize == ~0u ? static_cast<uint32_t>(pixels.size()) : imageSize);
    bytes.insert(bytes.end(), pixels.begin(), pixels.end());
    return bytes;
}
