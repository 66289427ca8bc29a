#include "tests/scene/scene_files.h"

#include "tests/support/test_support.h"

std::vector<uint8_t> MeshFile(uint32_t count, uint32_t magic, uint32_t records)
{
    std::vector<uint8_t> bytes;
    PutU32(bytes, count);
    PutU32(bytes, magic);
    const uint32_t written = records == ~0u ? count : records;
    for (uint32_t v = 0; v < written; ++v) {
        for (int f = 0; f < 14; ++f) {
            PutF32(bytes, 100.0f * static_cast<float>(v) + static_cast<float>(f));
        }
    }
    return bytes;
}

std::vector<uint8_t> BitmapFile(uint32_t width, uint32_t height, const std::vector<uint8_t>& pixels,
                                uint32_t imageSize)
{
    std::vector<uint8_t> bytes = {'B', 'M'};
    PutU32(bytes, 54 + static_cast<uint32_t>(pixels.size()));
    PutU32(bytes, 0);
    PutU32(bytes, 54);
    PutU32(bytes, 40);
    PutU32(bytes, width);
    PutU32(bytes, height);
    PutU16(bytes, 1);
    PutU16(bytes, 24);
    PutU32(bytes, 0);
    PutU32(bytes, imageSize == ~0u ? static_cast<uint32_t>(pixels.size()) : imageSize);
    PutU32(bytes, 2835);
    PutU32(bytes, 2835);
    PutU32(bytes, 0);
    PutU32(bytes, 0);
    bytes.insert(bytes.end(), pixels.begin(), pixels.end());
    return bytes;
}
