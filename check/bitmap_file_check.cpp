// Texture bitmaps and their normal maps: what the loader refuses and why,
// widths whose rows come out skewed, and a normal map's size against its
// texture's.
#include <cstdint>
#include <optional>

#include "check/file_checks.h"
#include "core/file_manager.h"
#include "core/file_read.h"
#include "scene/bitmap.h"

namespace {

struct Shape {
    uint32_t width = 0;
    uint32_t height = 0;
};

std::string ShapeText(Shape shape)
{
    return std::to_string(shape.width) + "x" + std::to_string(shape.height);
}

void CheckLayout(const std::string& path, Shape shape, Diagnostics& found)
{
    if (uint64_t{shape.width} * 3 % 4 != 0) {
        found.Error(path, {}, "width " + std::to_string(shape.width) + " gives rows of " +
                                  std::to_string(uint64_t{shape.width} * 3) +
                                  " bytes, not a multiple of 4: the row padding is read as pixels and the picture is skewed");
    }
}

// The bitmap's shape when the loader takes it; nothing otherwise (reported).
std::optional<Shape> CheckBitmap(const std::string& path, const FileBytes& bytes, Diagnostics& found)
{
    ResourceFile file;
    file.data = bytes.data.get();
    file.size = static_cast<uint32_t>(bytes.size);
    DecodedBitmap decoded;
    std::string why;
    if (bytes.size > UINT32_MAX || DecodeBitmap(file, &decoded, &why) != 0) {
        found.Error(path, {}, "the loader refuses it: " + (why.empty() ? std::string("too large") : why));
        return std::nullopt;
    }
    const Shape shape{decoded.width, decoded.height};
    CheckLayout(path, shape, found);
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
