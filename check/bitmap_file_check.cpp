// Texture bitmaps and their normal maps: what the loader refuses and why,
// widths whose rows come out skewed, and a normal map's size against its
// texture's.
#include <cstdint>
#include <filesystem>
#include <optional>

#include "check/file_checks.h"
#include "core/file_manager.h"
#include "core/file_read.h"
#include "core/stop_signals.h"
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

// Reads a bitmap as the loader reads it: refused from its header (the
// format, and the graphics context's limit when one is known) before its
// pixels are read; a refusal is reported. False when the loader would not
// take it; *unreadable then holds the reason when the file could not even
// be read (it is missing, or not a regular file).
bool ReadBitmap(const std::string& path, uint32_t maxSide, FileBytes& bytes, std::string* unreadable,
                Diagnostics& found)
{
    bool tooLarge = false;
    std::string refused;
    const ReadAdmission byHeader = BitmapAdmission(maxSide, &tooLarge);
    ReadAdmission admission = byHeader;
    admission.maxBytes = UINT32_MAX;  // no resource file is larger
    admission.admit = [&](const uint8_t* head, size_t headSize, uint64_t fileSize, uint64_t* readBytes) {
        refused = byHeader.admit(head, headSize, fileSize, readBytes);
        return refused;
    };
    std::string reason;
    unreadable->clear();
    if (ReadWholeFile(path, bytes, &reason, admission)) {
        return true;
    }
    if (refused.empty()) {
        *unreadable = reason;
    } else if (tooLarge) {
        found.Error(path, {}, "the graphics driver cannot hold it: " + refused + ": its material is not made");
    } else {
        found.Error(path, {}, "the loader refuses it: " + refused);
    }
    return false;
}

// The bitmap's shape when the loader takes it; nothing otherwise (reported).
std::optional<Shape> CheckBitmap(const std::string& path, const FileBytes& bytes, Diagnostics& found)
{
    ResourceFile file;
    file.data = bytes.data.get();
    file.size = static_cast<uint32_t>(bytes.size);
    DecodedBitmap decoded;
    std::string why;
    if (DecodeBitmap(file, &decoded, &why) != 0) {
        found.Error(path, {}, "the loader refuses it: " + why);
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
    if (normalName.size() > kMaxResourceNameLength) {
        if (std::filesystem::exists(path)) {
            context.Error(entry.where, "normal map name '" + normalName + "' is longer than " +
                                           std::to_string(kMaxResourceNameLength) + " characters: it is not opened");
        }
        return;
    }
    FileBytes bytes;
    std::string unreadable;
    if (!ReadBitmap(path, context.graphics.maxTextureSide, bytes, &unreadable, context.found)) {
        return;  // missing (a flat normal map is used) or refused (reported)
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
    std::string unreadable;
    if (!ReadBitmap(path, context.graphics.maxTextureSide, bytes, &unreadable, context.found)) {
        if (!unreadable.empty()) {
            context.Error(entry.where, "texture file '" + path + "' cannot be read: " + unreadable);
        }
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
        if (StopRequested()) {
            return;  // the check is ending
        }
        if (context.materials.at(entry->name) == entry) {  // a material loaded twice is checked once
            CheckMaterialFile(entry->name, *entry, context);
        }
    }
}
