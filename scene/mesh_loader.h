#pragma once
// Mesh files: a vertex count, the magic 0x1337, then one 56-byte record per
// vertex (position, texture coordinate, normal, tangent, binormal; fourteen
// little-endian floats). The records form a triangle list.

#include <cstdint>
#include <string>

#include "render/render_records.h"
#include "runtime/file_manager.h"

class XMLTagExtended;

constexpr uint32_t kMeshMagic = 0x1337;
constexpr uint32_t kMeshHeaderBytes = 8;
constexpr uint32_t kMeshVertexBytes = 56;

// Loads every mesh named by a child element of the meshes section.
void LoadMeshes(XMLTagExtended* section);
// Loads, creates on the renderer and registers one mesh; null on failure.
Mesh* LoadMesh(const std::string& name);
// 0 and a new mesh in *out; -1 when out is null, the name empty, the magic
// wrong or the file shorter than its vertex count says.
int ParseMeshFile(const ResourceFile& file, Mesh** out, const std::string& name);
