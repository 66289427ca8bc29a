#include "scene/bitmap.h"

#include <cstring>

namespace {

uint32_t ReadU32(const uint8_t* bytes)
{
    uint32_t value;
    std::memcpy(&value, bytes, sizeof value);
    return value;
}

// Blue-green-red becomes red-green-blue.
void SwapRedBlue(const uint8_t* source, uint8_t* target, size_t pixels)
{
    for (size_t k = 0; k < pixels; ++k) {
        target[3 * k + 0] = source[3 * k + 2];
        target[3 * k + 1] = source[3 * k + 1];
        target[3 * k + 2] = source[3 * k + 0];
    }
}

}  // namespace

int DecodeBitmap(const ResourceFile& file, DecodedBitmap* out)
{
    if (!out || !file.data || file.size < kBitmapHeaderBytes || file.data[0] != 'B' ||
        file.data[1] != 'M') {
        return -1;
    }
    const uint32_t width = ReadU32(file.data + 18);
    const uint32_t height = ReadU32(file.data + 22);
    const uint32_t imageSize = ReadU32(file.data + 34);
    const uint64_t pixels = uint64_t{width} * height;
    if (pixels == 0 || imageSize == 0 || imageSize > file.size - kBitmapHeaderBytes ||
        imageSize < pixels * 3) {
        return -1;
    }
    const size_t packedPixels = imageSize / 3;
    auto rgb = std::make_unique_for_overwrite<uint8_t[]>(imageSize);
    SwapRedBlue(file.data + kBitmapHeaderBytes, rgb.get(), packedPixels);
    std::memset(rgb.get() + 3 * packedPixels, 0, imageSize - 3 * packedPixels);
    out->rgb = std::move(rgb);
    out->width = width;
    out->height = height;
    out->channels = static_cast<uint32_t>(imageSize / pixels);
    out->imageSize = imageSize;
    return 0;
}
