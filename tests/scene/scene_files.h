#pragma once
// Raw model and bitmap files for the loader tests, byte by byte, so that
// tests can also write what the writers of real content never would.

#include <cstdint>
#include <vector>

#include "formats/model_file.h"

// A mesh file whose vertex v has float f equal to 100 * v + f; `records`
// vertex records are written whatever the count says (all by default).
std::vector<uint8_t> MeshFile(uint32_t count, uint32_t magic = kModelFileMagic, uint32_t records = ~0u);

// A 24-bit bitmap: 54-byte header, then the given pixel bytes as stored
// (bottom row first, blue-green-red). imageSize defaults to the pixel bytes.
std::vector<uint8_t> BitmapFile(uint32_t width, uint32_t height, const std::vector<uint8_t>& pixels,
                                uint32_t imageSize = ~0u);
