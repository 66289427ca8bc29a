#pragma once
// The procedural materials texgen knows, by name.

#include <cstdint>
#include <string>
#include <vector>

#include "tools/texgen/material_images.h"

struct MaterialKind {
    std::string name;
    std::string summary;
    MaterialImages (*make)(uint32_t width, uint32_t height, uint32_t seed);
};

const std::vector<MaterialKind>& MaterialCatalog();
// Null when there is no material of that name.
const MaterialKind* FindMaterialKind(const std::string& name);
