#pragma once
// Writes model files; the vertices form a triangle list.

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

#include "formats/model_file.h"
#include "tools/common/mesh_vertex.h"

// The whole file as bytes. The vertex count must be a multiple of three.
std::vector<uint8_t> EncodeModelFile(const std::vector<MeshVertex>& triangles);

// Writes the file; an empty string on success, otherwise what went wrong.
std::string WriteModelFile(const std::filesystem::path& path,
                           const std::vector<MeshVertex>& triangles);
