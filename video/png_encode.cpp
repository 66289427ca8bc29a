// PNG encoding with stb_image_write, compiled here only (static, so that it
// meets no other copy of the library in the program).
#include "video/png_encode.h"

#define STB_IMAGE_WRITE_STATIC
#define STB_IMAGE_WRITE_IMPLEMENTATION
#include <stb/stb_image_write.h>

namespace {

void Append(void* context, void* data, int size)
{
    auto* bytes = static_cast<std::vector<uint8_t>*>(context);
    const auto* first = static_cast<const uint8_t*>(data);
    bytes->insert(bytes->end(), first, first + size);
}

}  // namespace

bool EncodePng(const uint8_t* rgba, int width, int height, std::vector<uint8_t>* png)
{
    png->clear();
    return stbi_write_png_to_func(Append, png, width, height, 4, rgba, width * 4) != 0;
}
