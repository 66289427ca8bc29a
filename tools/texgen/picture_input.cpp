#include "tools/texgen/picture_input.h"

#include <stb_image.h>

#include <memory>

#include "tools/common/bitmap_writer.h"

namespace {

struct StbPixelsDeleter {
    void operator()(unsigned char* pixels) const { stbi_image_free(pixels); }
};

RgbImage CropToWholeGroupsOfFour(const unsigned char* pixels, uint32_t width, uint32_t height)
{
    const uint32_t keptWidth = width - width % 4;
    const uint32_t firstColumn = (width % 4) / 2;
    RgbImage image(keptWidth, height);
    for (uint32_t row = 0; row < height; ++row) {
        const unsigned char* source = pixels + 3 * (size_t{row} * width + firstColumn);
        std::copy(source, source + 3 * size_t{keptWidth}, image.Pixel(row, 0));
    }
    return image;
}

}  // namespace

LoadedPicture LoadPictureForTexture(const std::string& path)
{
    LoadedPicture loaded;
    int width = 0;
    int height = 0;
    int channels = 0;
    std::unique_ptr<unsigned char, StbPixelsDeleter> pixels(
        stbi_load(path.c_str(), &width, &height, &channels, 3));
    if (!pixels) {
        loaded.error = "cannot read '" + path + "': " + stbi_failure_reason();
        return loaded;
    }
    const auto w = static_cast<uint32_t>(width);
    const auto h = static_cast<uint32_t>(height);
    if (std::string problem = CheckTextureSize(w - w % 4, h); !problem.empty()) {
        loaded.error =
            "'" + path + "' (" + std::to_string(w) + "x" + std::to_string(h) + "): " + problem;
        return loaded;
    }
    loaded.image = CropToWholeGroupsOfFour(pixels.get(), w, h);
    return loaded;
}

HeightField HeightFromBrightness(const RgbImage& image)
{
    HeightField field(image.width, image.height);
    for (uint32_t row = 0; row < image.height; ++row) {
        for (uint32_t column = 0; column < image.width; ++column) {
            const uint8_t* p = image.Pixel(row, column);
            field.At(row, column) = (0.299f * p[0] + 0.587f * p[1] + 0.114f * p[2]) / 255.0f;
        }
    }
    return field;
}
