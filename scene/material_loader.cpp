#include "scene/material_loader.h"

#include <cstring>

#include "core/log.h"
#include "render/render_interface.h"
#include "scene/bitmap.h"
#include "scene/resource_open.h"
#include "world/world.h"

namespace {

constexpr uint8_t kFlatNormal[3] = {127, 127, 255};

// Copies width x height 3-byte pixels, reversing each row left to right.
void CopyRowsMirrored(const uint8_t* source, uint8_t* target, uint32_t width, uint32_t height)
{
    const size_t rowBytes = size_t{width} * 3;
    for (size_t row = 0; row < height; ++row) {
        const uint8_t* from = source + row * rowBytes;
        uint8_t* to = target + row * rowBytes + rowBytes - 3;
        for (uint32_t column = 0; column < width; ++column, from += 3, to -= 3) {
            to[0] = from[0];
            to[1] = from[1];
            to[2] = from[2];
        }
    }
}

// The largest texture side the renderer makes; 0 when it sets no limit.
uint32_t MaxTextureSide()
{
    const RenderInterface* renderer = GetRenderer();
    return renderer ? renderer->MaxTextureSide() : 0;
}

// How a texture file turned out.
enum class TextureRead { kDecoded, kMissing, kMalformed, kTooLarge };

// Decodes a texture through the file cache and takes it out of the cache
// again: texture bytes live only while their material is being made. A
// bitmap refused by its header (kMalformed, or kTooLarge for the renderer)
// is refused before its pixels are read; *why says why.
TextureRead DecodeTexture(const std::string& name, DecodedBitmap* out, std::string* why)
{
    bool tooLarge = false;
    std::string refused;
    const std::unique_ptr<ResourceFile> file =
        OpenResourceFile(name, kResourceTexture, BitmapAdmission(MaxTextureSide(), &tooLarge), &refused);
    if (!file) {
        *why = refused;
        return refused.empty() ? TextureRead::kMissing : tooLarge ? TextureRead::kTooLarge : TextureRead::kMalformed;
    }
    const bool decoded = DecodeBitmap(*file, out, why) == 0;
    TheFileManager().ReleaseFile(name, kResourceTexture);
    return decoded ? TextureRead::kDecoded : TextureRead::kMalformed;
}

}  // namespace

std::unique_ptr<Material> MakeMaterial(const std::string& name, uint32_t channels,
                                       uint32_t width, uint32_t height,
                                       const uint8_t* colour, const uint8_t* normal)
{
    auto material = std::make_unique<Material>();
    material->width = width;
    material->height = height;
    material->channels = channels;
    material->size = channels * width * height;
    material->name = name;

    const size_t pixelBytes = size_t{width} * height * 3;
    material->diffuse = std::make_unique<uint8_t[]>(material->size);  // zeroed
    Log("material ", name, " width: ", width, " height: ", height, " channel: ", channels,
        " size", material->size, " dataptr: ", HexAddress{material->diffuse.get()});
    if (colour && pixelBytes <= material->size) {
        CopyRowsMirrored(colour, material->diffuse.get(), width, height);
    }

    material->normalMap = std::make_unique_for_overwrite<uint8_t[]>(pixelBytes);
    if (normal) {
        CopyRowsMirrored(normal, material->normalMap.get(), width, height);
    } else {
        for (size_t i = 0; i < pixelBytes; i += 3) {
            std::memcpy(material->normalMap.get() + i, kFlatNormal, 3);
        }
    }
    return material;
}

namespace {

// The material made from the texture files of that name; null when the
// colour texture is missing or malformed.
std::unique_ptr<Material> ReadMaterial(const std::string& name)
{
    DecodedBitmap colour;
    std::string why;
    const TextureRead colourRead = DecodeTexture(name, &colour, &why);
    if (colourRead == TextureRead::kMalformed) {
        Problem("Colour texture ", name, " is malformed (", why, ")");
    } else if (colourRead == TextureRead::kTooLarge) {
        Problem("Colour texture ", name, " is too large (", why, ")");
    }
    if (colourRead != TextureRead::kDecoded) {
        return nullptr;
    }

    const std::string normalName = name + "_normal";
    DecodedBitmap normal;
    const TextureRead normalRead = DecodeTexture(normalName, &normal, &why);
    const uint64_t pixels = uint64_t{colour.width} * colour.height;
    const bool normalUsable = normalRead == TextureRead::kDecoded && normal.imageSize / 3 >= pixels;
    if (normalRead == TextureRead::kMalformed) {
        Problem("Normal map ", normalName, " is malformed (", why, "); using a flat normal map");
    } else if (normalRead == TextureRead::kTooLarge) {
        Problem("Normal map ", normalName, " is too large (", why, "); using a flat normal map");
    } else if (normalRead == TextureRead::kDecoded && !normalUsable) {
        Problem("Normal map ", normalName, " is smaller than ", name, "; using a flat normal map");
    }
    return MakeMaterial(name, colour.channels, colour.width, colour.height, colour.rgb.get(),
                        normalUsable ? normal.rgb.get() : nullptr);
}

}  // namespace

int LoadMaterialFile(Material** out, const std::string& name)
{
    if (!out) {
        return -1;
    }
    std::unique_ptr<Material> material = ReadMaterial(name);
    if (!material) {
        return -1;
    }
    *out = material.release();  // lives for the rest of the run
    if (RenderInterface* renderer = GetRenderer()) {
        renderer->CreateMaterial(*out);
    }
    return 0;
}

int ReloadMaterialFile(Material& material)
{
    std::unique_ptr<Material> fresh = ReadMaterial(material.name);
    if (!fresh) {
        Problem("Cannot reload material ", material.name, ": its texture is missing or malformed");
        return -1;
    }
    material.width = fresh->width;
    material.height = fresh->height;
    material.channels = fresh->channels;
    material.size = fresh->size;
    material.diffuse = std::move(fresh->diffuse);
    material.normalMap = std::move(fresh->normalMap);
    return 0;
}

Material* LoadMaterial(const std::string& name)
{
    Material* material = nullptr;
    if (LoadMaterialFile(&material, name) != 0) {
        LogLine("Loading Material failure");
        return nullptr;
    }
    AppendMaterial(material);
    return material;
}

void LoadMaterials(XMLTagExtended* section)
{
    LoadEachNamedFile(section, [](const std::string& name) { LoadMaterial(name); });
}
