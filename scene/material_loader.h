#pragma once
// Materials: for a material named N, the colour texture "tex/N.bmp" and the
// optional normal map "tex/N_normal.bmp"; without one, every normal-map pixel
// is (127, 127, 255).

#include <cstdint>
#include <memory>
#include <string>

#include "render/render_records.h"

class XMLTagExtended;

// Loads every material named by a child element of the materials section.
void LoadMaterials(XMLTagExtended* section);
// Loads and registers one material; null (logged) on failure.
Material* LoadMaterial(const std::string& name);
// 0 and the new material in *out, already handed to the renderer; -1 when
// the colour texture is missing or malformed.
int LoadMaterialFile(Material** out, const std::string& name);

// Reads the material's textures again and replaces its pixels with them,
// keeping the same material; 0, or -1 (logged) with the material unchanged
// when the colour texture is missing or malformed. The caller has the
// renderer upload it again.
int ReloadMaterialFile(Material& material);

// Builds a material from decoded pixels: every row is mirrored left to right;
// a null colour buffer gives black, a null normal buffer the flat normal map.
// Both buffers hold at least width x height pixels of 3 bytes.
std::unique_ptr<Material> MakeMaterial(const std::string& name, uint32_t channels,
                                       uint32_t width, uint32_t height,
                                       const uint8_t* colour, const uint8_t* normal);
