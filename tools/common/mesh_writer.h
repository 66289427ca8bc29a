#pragma once
// Writes model files: uint32 vertex count, uint32 magic 0x1337, then fourteen
// little-endian floats per vertex; the vertices form a triangle list.

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

#include "tools/common/mesh_vertex.h"

constexpr uint32_t kModelFileMagic = 0x1337;

// The whole file as bytes. The vertex count must be a multiple of three.
std::vector<uint8_t> EncodeModelFile(const std::vector<MeshVertex>& triangles);

// Writes the file; an empty string on success, otherwise what went wrong.
std::string WriteModelFile(const std::filesystem::path& path,
                           const std::vector<MeshVertex>& triangles);
