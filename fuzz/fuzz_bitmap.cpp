// Fuzzing entry for the texture bitmap decoder, and the material built from
// what it decodes.

#include <cstddef>
#include <cstdint>
#include <memory>

#include "fuzz/fuzz_support.h"
#include "scene/bitmap.h"
#include "scene/material_loader.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    QuietLogOnce();
    std::unique_ptr<uint8_t[]> bytes;
    ResourceFile file;
    if (!FuzzedFile(data, size, kResourceTexture, &bytes, &file)) {
        return 0;
    }
    DecodedBitmap bitmap;
    if (DecodeBitmap(file, &bitmap) == 0) {
        MakeMaterial("fuzzed", bitmap.channels, bitmap.width, bitmap.height, bitmap.rgb.get(),
                     nullptr);
    }
    return 0;
}
