#include "tests/scene/scene_files.h"

#include "formats/bitmap_file.h"
#include "formats/little_endian.h"

std::vector<uint8_t> MeshFile(uint32_t count, uint32_t magic, uint32_t records)
{
    std::vector<uint8_t> bytes;
    AppendU32(bytes, count);
    AppendU32(bytes, magic);
    const uint32_t written = records == ~0u ? count : records;
    for (uint32_t v = 0; v < written; ++v) {
        for (uint32_t f = 0; f < kModelFloatsPerVertex; ++f) {
            AppendF32(bytes, 100.0f * static_cast<float>(v) + static_cast<float>(f));
        }
    }
    return bytes;
}

std::vector<uint8_t> BitmapFile(uint32_t width, uint32_t height, const std::vector<uint8_t>& pixels,
                                uint32_t imageSize)
{
    std::vector<uint8_t> bytes;
    AppendBitmapHeader(bytes, width, height,
                       imageSize == ~0u ? static_cast<uint32_t>(pixels.size()) : imageSize);
    bytes.insert(bytes.end(), pixels.begin(), pixels.end());
    return bytes;
}
