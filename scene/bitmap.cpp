#include "scene/bitmap.h"

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <sstream>

#include "formats/little_endian.h"

#if defined(__x86_64__)
#include <immintrin.h>
#endif

namespace {

// Blue-green-red becomes red-green-blue.
void SwapRedBlueScalar(const uint8_t* source, uint8_t* target, size_t pixels)
{
    for (size_t k = 0; k < pixels; ++k) {
        target[3 * k + 0] = source[3 * k + 2];
        target[3 * k + 1] = source[3 * k + 1];
        target[3 * k + 2] = source[3 * k + 0];
    }
}

#if defined(__x86_64__)
// Five pixels per 16-byte shuffle; the 16th byte belongs to the next pixel and
// is rewritten by the next step, so the loop stops while a whole 16 bytes are
// still inside both buffers and the scalar loop finishes the tail.
__attribute__((target("ssse3"))) void SwapRedBlueShuffled(const uint8_t* source, uint8_t* target,
                                                          size_t pixels)
{
    const __m128i order = _mm_setr_epi8(2, 1, 0, 5, 4, 3, 8, 7, 6, 11, 10, 9, 14, 13, 12, 15);
    size_t k = 0;
    for (; k + 6 <= pixels; k += 5) {
        const __m128i in = _mm_loadu_si128(reinterpret_cast<const __m128i*>(source + 3 * k));
        _mm_storeu_si128(reinterpret_cast<__m128i*>(target + 3 * k), _mm_shuffle_epi8(in, order));
    }
    SwapRedBlueScalar(source + 3 * k, target + 3 * k, pixels - k);
}
#endif

void SwapRedBlue(const uint8_t* source, uint8_t* target, size_t pixels)
{
#if defined(__x86_64__)
    static const bool hasShuffle = __builtin_cpu_supports("ssse3");
    if (hasShuffle) {
        SwapRedBlueShuffled(source, target, pixels);
        return;
    }
#endif
    SwapRedBlueScalar(source, target, pixels);
}

// Why the header describes something other than an uncompressed 24-bit
// bitmap with its rows bottom-up right after the 54-byte header; empty when
// it does. Other layouts would be read as garbled pixels.
std::string LayoutProblem(const uint8_t* header)
{
    std::ostringstream why;
    const uint16_t bitsPerPixel = ReadU16(header + kBitmapBitsPerPixelOffset);
    const uint32_t compression = ReadU32(header + kBitmapCompressionOffset);
    const uint32_t dataOffset = ReadU32(header + kBitmapDataOffsetOffset);
    if (bitsPerPixel != kBitmapBitsPerPixel) {
        why << bitsPerPixel << " bits per pixel, not " << kBitmapBitsPerPixel;
    } else if (compression != 0) {
        why << "compressed (method " << compression << ")";
    } else if (dataOffset != kBitmapHeaderBytes) {
        why << "pixels start at byte " << dataOffset << ", not " << kBitmapHeaderBytes;
    } else if (static_cast<int32_t>(ReadU32(header + kBitmapHeightOffset)) < 0) {
        why << "rows stored top-down (negative height)";
    }
    return why.str();
}

// Why the pixel bytes do not fit the size; empty when they do.
std::string SizeProblem(uint32_t width, uint32_t height, uint32_t imageSize, uint32_t pixelBytes)
{
    std::ostringstream why;
    if (uint64_t{width} * height == 0) {
        why << "no pixels: width " << width << ", height " << height;
    } else if (imageSize > pixelBytes) {
        why << "image size " << imageSize << " is more than the " << pixelBytes << " pixel bytes in the file";
    } else if (imageSize < uint64_t{width} * height * 3) {
        why << "image size " << imageSize << " is less than " << width << " x " << height << " x 3 bytes";
    }
    return why.str();
}

bool Refuse(std::string* why, std::string reason)
{
    if (why) {
        *why = std::move(reason);
    }
    return false;
}

}  // namespace

std::string BitmapHeaderProblem(const uint8_t* head, size_t headSize, uint64_t fileSize)
{
    if (!head || headSize < kBitmapHeaderBytes || fileSize < kBitmapHeaderBytes) {
        return "shorter than its 54-byte header";
    }
    if (head[0] != 'B' || head[1] != 'M') {
        return "no BM signature";
    }
    std::string problem = LayoutProblem(head);
    if (problem.empty()) {
        const uint64_t pixelBytes = fileSize - kBitmapHeaderBytes;
        problem = SizeProblem(ReadU32(head + kBitmapWidthOffset), ReadU32(head + kBitmapHeightOffset),
                              ReadU32(head + kBitmapImageSizeOffset),
                              static_cast<uint32_t>(std::min<uint64_t>(pixelBytes, UINT32_MAX)));
    }
    return problem;
}

std::string TextureSizeProblem(uint32_t width, uint32_t height, uint32_t maxSide)
{
    if (maxSide == 0 || (width <= maxSide && height <= maxSide)) {
        return {};
    }
    return std::to_string(width) + " x " + std::to_string(height) + " pixels, more than the " +
           std::to_string(maxSide) + " a side the graphics driver takes";
}

ReadAdmission BitmapAdmission(uint32_t maxSide, bool* tooLarge)
{
    ReadAdmission admission;
    admission.headBytes = kBitmapHeaderBytes;
    admission.admit = [maxSide, tooLarge](const uint8_t* head, size_t headSize, uint64_t fileSize,
                                          uint64_t* readBytes) {
        if (std::string problem = BitmapHeaderProblem(head, headSize, fileSize); !problem.empty()) {
            return problem;
        }
        const uint32_t width = ReadU32(head + kBitmapWidthOffset);
        const uint32_t height = ReadU32(head + kBitmapHeightOffset);
        if (std::string problem = TextureSizeProblem(width, height, maxSide); !problem.empty()) {
            if (tooLarge) {
                *tooLarge = true;
            }
            return problem;
        }
        *readBytes = uint64_t{kBitmapHeaderBytes} + ReadU32(head + kBitmapImageSizeOffset);
        return std::string();
    };
    return admission;
}

namespace {

// True when the file is a bitmap of the format with all its pixels.
bool Acceptable(const ResourceFile& file, std::string* why)
{
    std::string problem = BitmapHeaderProblem(file.data, file.size, file.size);
    return problem.empty() || Refuse(why, std::move(problem));
}

}  // namespace

int DecodeBitmap(const ResourceFile& file, DecodedBitmap* out, std::string* why)
{
    if (!out || !Acceptable(file, why)) {
        return -1;
    }
    const uint32_t width = ReadU32(file.data + kBitmapWidthOffset);
    const uint32_t height = ReadU32(file.data + kBitmapHeightOffset);
    const uint32_t imageSize = ReadU32(file.data + kBitmapImageSizeOffset);
    const uint64_t pixels = uint64_t{width} * height;
    const size_t packedPixels = imageSize / 3;
    auto rgb = std::make_unique_for_overwrite<uint8_t[]>(imageSize);
    SwapRedBlue(file.data + kBitmapHeaderBytes, rgb.get(), packedPixels);
    std::memset(rgb.get() + 3 * packedPixels, 0, imageSize - 3 * packedPixels);
    out->rgb = std::move(rgb);
    out->width = width;
    out->height = height;
    out->channels = static_cast<uint32_t>(imageSize / pixels);
    out->imageSize = imageSize;
    return 0;
}
