#pragma once
// Texture bitmaps ("tex/NAME.bmp"): the subset of Windows bitmaps the player
// reads. A 54-byte header (file header and 40-byte information header), then
// three bytes per pixel (blue, green, red). The pixel bytes are read as one
// packed array: row padding is not skipped, so only widths whose rows are a
// multiple of 4 bytes come out unskewed.

#include <cstdint>
#include <vector>

inline constexpr uint32_t kBitmapHeaderBytes = 54;
inline constexpr uint32_t kBitmapInfoHeaderBytes = 40;
inline constexpr uint16_t kBitmapBitsPerPixel = 24;

// Header fields the player reads, as byte offsets into the file.
inline constexpr uint32_t kBitmapDataOffsetOffset = 10;
inline constexpr uint32_t kBitmapWidthOffset = 18;
inline constexpr uint32_t kBitmapHeightOffset = 22;  // negative for rows stored top-down
inline constexpr uint32_t kBitmapBitsPerPixelOffset = 28;
inline constexpr uint32_t kBitmapCompressionOffset = 30;
inline constexpr uint32_t kBitmapImageSizeOffset = 34;

// Appends the 54-byte header of an uncompressed 24-bit bitmap whose pixel
// bytes (imageSize of them) follow.
void AppendBitmapHeader(std::vector<uint8_t>& bytes, uint32_t width, uint32_t height,
                        uint32_t imageSize);
