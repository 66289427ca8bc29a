#include "tools/common/bitmap_writer.h"

#include "tools/common/binary_output.h"

namespace {

constexpr uint32_t kHeaderBytes = 54;
constexpr uint32_t kInfoHeaderBytes = 40;
constexpr uint32_t kPixelsPerMetre = 2835;  // 72 dots per inch

void AppendHeader(std::vector<uint8_t>& bytes, uint32_t width, uint32_t height, uint32_t pixelBytes)
{
    bytes.push_back('B');
    bytes.push_back('M');
    AppendU32(bytes, kHeaderBytes + pixelBytes);
    AppendU32(bytes, 0);  // reserved
    AppendU32(bytes, kHeaderBytes);
    AppendU32(bytes, kInfoHeaderBytes);
    AppendU32(bytes, width);
    AppendU32(bytes, height);
    AppendU16(bytes, 1);   // planes
    AppendU16(bytes, 24);  // bits per pixel
    AppendU32(bytes, 0);   // uncompressed
    AppendU32(bytes, pixelBytes);
    AppendU32(bytes, kPixelsPerMetre);
    AppendU32(bytes, kPixelsPerMetre);
    AppendU32(bytes, 0);  // palette colours
    AppendU32(bytes, 0);  // important colours
}

}  // namespace

std::string CheckTextureSize(uint32_t width, uint32_t height)
{
    if (width == 0 || height == 0 || width > kMaxTextureSide || height > kMaxTextureSide) {
        return "texture size " + std::to_string(width) + "x" + std::to_string(height) +
               " is outside 4x1 .. " + std::to_string(kMaxTextureSide) + "x" +
               std::to_string(kMaxTextureSide);
    }
    if (width % 4 != 0) {
        return "texture width " + std::to_string(width) +
               " is not a multiple of 4 (the player reads rows without padding)";
    }
    return {};
}

std::vector<uint8_t> EncodeTextureBitmap(const RgbImage& image)
{
    const uint32_t pixelBytes = image.width * image.height * 3;
    std::vector<uint8_t> bytes;
    bytes.reserve(kHeaderBytes + pixelBytes);
    AppendHeader(bytes, image.width, image.height, pixelBytes);
    for (uint32_t row = 0; row < image.height; ++row) {
        for (uint32_t column = image.width; column-- > 0;) {
            const uint8_t* pixel = image.Pixel(row, column);
            bytes.push_back(pixel[2]);  // blue
            bytes.push_back(pixel[1]);  // green
            bytes.push_back(pixel[0]);  // red
        }
    }
    return bytes;
}

std::string WriteTextureBitmap(const std::filesystem::path& path, const RgbImage& image)
{
    if (std::string problem = CheckTextureSize(image.width, image.height); !problem.empty()) {
        return problem;
    }
    return WriteBinaryFile(path, EncodeTextureBitmap(image));
}
