// Texture bitmaps and their normal maps: what the loader refuses and why,
// the layout the player assumes, and a normal map's size against its
// texture's.
#include <optional>

#include "check/file_checks.h"
#include "core/file_manager.h"
#include "core/file_read.h"
#include "formats/bitmap_file.h"
#include "formats/little_endian.h"
#include "scene/bitmap.h"

namespace {

constexpr uint32_t kDataOffsetOffset = 10;
constexpr uint32_t kBitsPerPixelOffset = 28;
constexpr uint32_t kCompressionOffset = 30;

struct Shape {
    uint32_t width = 0;
    uint32_t height = 0;
};

std::string ShapeText(Shape shape)
{
    return std::to_string(shape.width) + "x" + std::to_string(shape.height);
}

// Why the loader refuses the bitmap; empty when it takes it.
std::string RefusalReason(const FileBytes& bytes)
{
    const uint8_t* data = bytes.data.get();
    if (bytes.size < kBitmapHeaderBytes) {
        return "it holds " + std::to_string(bytes.size) + " bytes, fewer than its 54-byte header";
    }
    if (data[0] != 'B' || data[1] != 'M') {
        return "it does not start with 'BM'";
    }
    const uint64_t pixels = uint64_t{ReadU32(data + kBitmapWidthOffset)} * ReadU32(data + kBitmapHeightOffset);
    const uint32_t imageSize = ReadU32(data + kBitmapImageSizeOffset);
    if (pixels == 0) {
        return "its width or height is 0";
    }
    if (imageSize == 0) {
        return "its image size field is 0";
    }
    if (imageSize > bytes.size - kBitmapHeaderBytes) {
        return "its image size field says " + std::to_string(imageSize) + " bytes, the file holds " +
               std::to_string(bytes.size - kBitmapHeaderBytes) + " after the header";
    }
    if (imageSize < pixels * 3) {
        return "its image size (" + std::to_string(imageSize) + " bytes) is less than 3 bytes a pixel";
    }
    ResourceFile file;
    file.data = data;
    file.size = static_cast<uint32_t>(bytes.size);
    DecodedBitmap decoded;
    return DecodeBitmap(file, &decoded) == 0 ? std::string() : "it is not a bitmap the loader reads";
}

void CheckLayout(const std::string& path, const uint8_t* data, Shape shape, Diagnostics& found)
{
    if (const uint16_t bits = ReadU16(data + kBitsPerPixelOffset); bits != kBitmapBitsPerPixel) {
        found.Error(path, {}, std::to_string(bits) + " bits a pixel: the player reads 24");
    }
    if (ReadU32(data + kCompressionOffset) != 0) {
        found.Error(path, {}, "it is compressed: the player reads uncompressed pixels");
    }
    if (const uint32_t offset = ReadU32(data + kDataOffsetOffset); offset != kBitmapHeaderBytes) {
        found.Error(path, {}, "its pixels start at byte " + std::to_string(offset) +
                                  ": the player reads them from byte 54");
    }
    if (uint64_t{shape.width} * 3 % 4 != 0) {
        found.Error(path, {}, "width " + std::to_string(shape.width) + " gives rows of " +
                                  std::to_string(uint64_t{shape.width} * 3) +
                                  " bytes, not a multiple of 4: the row padding is read as pixels and the picture is skewed");
    }
}

// The bitmap's shape when the loader takes it; nothing otherwise (reported).
std::optional<Shape> CheckBitmap(const std::string& path, const FileBytes& bytes, Diagnostics& found)
{
    if (const std::string reason = RefusalReason(bytes); !reason.empty()) {
        found.Error(path, {}, "the loader refuses it: " + reason);
        return std::nullopt;
    }
    const Shape shape{ReadU32(bytes.data.get() + kBitmapWidthOffset), ReadU32(bytes.data.get() + kBitmapHeightOffset)};
    CheckLayout(path, bytes.data.get(), shape, found);
    return shape;
}

void CheckNormalMap(const std::string& name, const MarkedElement& entry, Shape texture, SceneContext& context)
{
    const std::string normalName = name + "_normal";
    const std::string path = "tex/" + normalName + ".bmp";
    FileBytes bytes;
    if (!ReadWholeFile(path, bytes)) {
        return;  // no normal map: a flat one is used
    }
    if (normalName.size() > kMaxResourceNameLength) {
        context.Error(entry.where, "normal map name '" + normalName + "' is longer than " +
                                       std::to_string(kMaxResourceNameLength) + " characters: it is not opened");
        return;
    }
    const std::optional<Shape> shape = CheckBitmap(path, bytes, context.found);
    if (!shape) {
        return;
    }
    if (uint64_t{shape->width} * shape->height < uint64_t{texture.width} * texture.height) {
        context.found.Error(path, {}, "the normal map is " + ShapeText(*shape) + ", smaller than its texture (" +
                                          ShapeText(texture) + "): a flat normal map is used instead");
    } else if (shape->width != texture.width || shape->height != texture.height) {
        context.found.Warning(path, {}, "the normal map is " + ShapeText(*shape) + ", its texture " +
                                            ShapeText(texture) + ": it is read at the texture's size");
    }
}

void CheckMaterialFile(const std::string& name, const MarkedElement& entry, SceneContext& context)
{
    if (name.size() > kMaxResourceNameLength) {
        context.Error(entry.where, "material name '" + name + "' is longer than " +
                                       std::to_string(kMaxResourceNameLength) + " characters: its file is not opened");
        return;
    }
    const std::string path = "tex/" + name + ".bmp";
    FileBytes bytes;
    std::string reason;
    if (!ReadWholeFile(path, bytes, &reason)) {
        context.Error(entry.where, "texture file '" + path + "' cannot be read: " + reason);
        return;
    }
    if (const std::optional<Shape> shape = CheckBitmap(path, bytes, context.found)) {
        CheckNormalMap(name, entry, *shape, context);
    }
}

}  // namespace

void CheckMaterialFiles(SceneContext& context)
{
    if (!context.sections[kMaterials]) {
        return;
    }
    for (const auto& entry : context.sections[kMaterials]->children) {
        if (context.materials.at(entry->name) == entry) {  // a material loaded twice is checked once
            CheckMaterialFile(entry->name, *entry, context);
        }
    }
}
