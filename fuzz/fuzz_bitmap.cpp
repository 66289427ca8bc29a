// Fuzzing entry for the texture bitmap decoder, and the material built from
// what it decodes.

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <memory>

#include "fuzz/fuzz_support.h"
#include "scene/bitmap.h"
#include "scene/material_loader.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    QuietLogOnce();
    if (size > UINT32_MAX) {
        return 0;
    }
    auto bytes = std::make_unique<uint8_t[]>(size);
    std::memcpy(bytes.get(), data, size);
    ResourceFile file;
    std::strcpy(file.name, "fuzzed");
    file.size = static_cast<uint32_t>(size);
    file.data = bytes.get();
    file.type = kResourceTexture;
    DecodedBitmap bitmap;
    if (DecodeBitmap(file, &bitmap) == 0) {
        MakeMaterial("fuzzed", bitmap.channels, bitmap.width, bitmap.height, bitmap.rgb.get(),
                     nullptr);
    }
    return 0;
}
