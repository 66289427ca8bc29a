#include "tools/common/bitmap_writer.h"

#include "formats/bitmap_file.h"
#include "tools/common/binary_output.h"

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
    bytes.reserve(kBitmapHeaderBytes + pixelBytes);
    AppendBitmapHeader(bytes, image.width, image.height, pixelBytes);
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
