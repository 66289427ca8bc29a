#pragma once
// Mesh files: the model file format, read into meshes and registered.

#include <cstdint>
#include <string>

#include "core/file_manager.h"
#include "render/render_records.h"

class XMLTagExtended;

// Loads every mesh named by a child element of the meshes section.
void LoadMeshes(XMLTagExtended* section);
// Loads, creates on the renderer and registers one mesh; null on failure.
Mesh* LoadMesh(const std::string& name);
// Reads the mesh's file again (not from the file cache) and replaces the
// mesh's vertices with its contents, keeping the same mesh; 0, or -1 (logged)
// with the mesh unchanged when the file is missing or malformed. The caller
// has the renderer upload it again.
int ReloadMeshFile(Mesh& mesh);
// 0 and a new mesh in *out; -1 when out is null, the name empty, the magic
// wrong or the file shorter than its vertex count says.
int ParseMeshFile(const ResourceFile& file, Mesh** out, const std::string& name);
