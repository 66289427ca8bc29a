#include "tests/golden/picture_diff.h"

#include <algorithm>
#include <cstdlib>

#define STB_IMAGE_STATIC
#define STB_IMAGE_IMPLEMENTATION
#include <stb/stb_image.h>
#define STB_IMAGE_WRITE_STATIC
#define STB_IMAGE_WRITE_IMPLEMENTATION
#include <stb/stb_image_write.h>

Picture Picture::Read(const std::filesystem::path& path)
{
    Picture picture;
    int channels = 0;
    stbi_uc* pixels = stbi_load(path.c_str(), &picture.width, &picture.height, &channels, 3);
    if (!pixels) {
        return Picture{};
    }
    picture.rgb.assign(pixels, pixels + static_cast<size_t>(picture.width) * picture.height * 3);
    stbi_image_free(pixels);
    return picture;
}

PictureDiff ComparePictures(const Picture& actual, const Picture& reference, int threshold)
{
    PictureDiff diff;
    diff.sameSize = actual.width == reference.width && actual.height == reference.height && actual.width > 0;
    if (!diff.sameSize) {
        return diff;
    }
    diff.difference = reference;
    size_t differing = 0;
    const size_t pixels = reference.rgb.size() / 3;
    for (size_t p = 0; p < pixels; ++p) {
        int largest = 0;
        for (size_t c = 0; c < 3; ++c) {
            largest = std::max(largest, std::abs(actual.rgb[3 * p + c] - reference.rgb[3 * p + c]));
        }
        for (size_t c = 0; c < 3; ++c) {
            uint8_t& out = diff.difference.rgb[3 * p + c];
            out = largest > threshold ? 255 : static_cast<uint8_t>(out / 4);
        }
        differing += largest > threshold ? 1 : 0;
    }
    diff.differingShare = pixels ? static_cast<double>(differing) / static_cast<double>(pixels) : 0.0;
    return diff;
}

void WritePicture(const std::filesystem::path& path, const Picture& picture)
{
    stbi_write_png(path.c_str(), picture.width, picture.height, 3, picture.rgb.data(), picture.width * 3);
}
