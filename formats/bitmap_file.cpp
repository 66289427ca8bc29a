#include "formats/bitmap_file.h"

#include "formats/little_endian.h"

namespace {
constexpr uint32_t kPixelsPerMetre = 2835;  // 72 dots per inch
}  // namespace

void AppendBitmapHeader(std::vector<uint8_t>& bytes, uint32_t width, uint32_t height,
                        uint32_t imageSize)
{
    bytes.push_back('B');
    bytes.push_back('M');
    AppendU32(bytes, kBitmapHeaderBytes + imageSize);
    AppendU32(bytes, 0);  // reserved
    AppendU32(bytes, kBitmapHeaderBytes);
    AppendU32(bytes, kBitmapInfoHeaderBytes);
    AppendU32(bytes, width);
    AppendU32(bytes, height);
    AppendU16(bytes, 1);  // planes
    AppendU16(bytes, kBitmapBitsPerPixel);
    AppendU32(bytes, 0);  // uncompressed
    AppendU32(bytes, imageSize);
    AppendU32(bytes, kPixelsPerMetre);
    AppendU32(bytes, kPixelsPerMetre);
    AppendU32(bytes, 0);  // palette colours
    AppendU32(bytes, 0);  // important colours
}
