#pragma once
// Encodes RGBA pixels as a PNG file's bytes, the same bytes for the same pixels.

#include <cstdint>
#include <vector>

// width x height RGBA pixels, top row first, rows packed. False when the
// encoder cannot get memory.
bool EncodePng(const uint8_t* rgba, int width, int height, std::vector<uint8_t>* png);
