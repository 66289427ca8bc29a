#pragma once
// Mesh files: the model file format, read into meshes and registered.

#include <cstdint>
#include <string>

#include "core/file_manager.h"
#include "core/file_read.h"
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
// wrong or the file shorter than its vertex count says (*why, when given,
// says which).
int ParseMeshFile(const ResourceFile& file, Mesh** out, const std::string& name, std::string* why = nullptr);

// Why a model file is refused, from its first bytes (its 8-byte header where
// the file has them) and the file's size: too short for its header, another
// magic number, fewer bytes than its vertex count needs. Empty when it is
// read. The one statement of the rule, for the loader and the checker alike.
std::string ModelFileProblem(const uint8_t* head, size_t headSize, uint64_t fileSize);
// The bytes a model file of that many vertices needs: header and records.
uint64_t ModelFileBytes(uint32_t vertexCount);
// How a model file is read: refused from its header before the vertices are
// read, and only the header and the records its count needs.
ReadAdmission ModelAdmission();
