#include "scene/mesh_loader.h"

#include <cstring>

#include "core/log.h"
#include "formats/little_endian.h"
#include "formats/model_file.h"
#include "render/render_interface.h"
#include "scene/resource_open.h"
#include "world/world.h"

namespace {

// Splits the interleaved vertex records into the mesh's five arrays.
void SplitVertexRecords(const uint8_t* records, Mesh& mesh)
{
    float* positions = mesh.positions;
    float* texcoords = mesh.texcoords;
    float* normals = mesh.normals;
    float* tangents = mesh.tangents;
    float* binormals = mesh.binormals;
    constexpr size_t kFloat = sizeof(float);
    const size_t count = mesh.vertexCount;
    for (size_t v = 0; v < count; ++v) {
        const uint8_t* record = records + v * kModelVertexBytes;
        std::memcpy(positions + 3 * v, record + kModelPositionFloat * kFloat, 3 * kFloat);
        std::memcpy(texcoords + 2 * v, record + kModelTexcoordFloat * kFloat, 2 * kFloat);
        std::memcpy(normals + 3 * v, record + kModelNormalFloat * kFloat, 3 * kFloat);
        std::memcpy(tangents + 3 * v, record + kModelTangentFloat * kFloat, 3 * kFloat);
        std::memcpy(binormals + 3 * v, record + kModelBinormalFloat * kFloat, 3 * kFloat);
    }
}

}  // namespace

int ParseMeshFile(const ResourceFile& file, Mesh** out, const std::string& name)
{
    if (!out || name.empty() || !file.data || file.size < kModelHeaderBytes) {
        return -1;
    }
    const uint32_t count = ReadU32(file.data);
    if (ReadU32(file.data + 4) != kModelFileMagic) {
        return -1;
    }
    const uint64_t needed = kModelHeaderBytes + uint64_t{kModelVertexBytes} * count;
    if (file.size < needed) {
        return -1;
    }
    auto* mesh = new Mesh;
    mesh->AllocateArrays(count);
    mesh->name = name;
    SplitVertexRecords(file.data + kModelHeaderBytes, *mesh);
    *out = mesh;
    return 0;
}

Mesh* LoadMesh(const std::string& name)
{
    const std::unique_ptr<ResourceFile> file = OpenResourceFile(name, kResourceModel);
    if (!file) {
        Log("Cannot load file ", name);
        return nullptr;
    }
    Mesh* mesh = nullptr;
    if (ParseMeshFile(*file, &mesh, name) != 0) {
        LogLine("Creating Mesh failure");
        return nullptr;
    }
    if (RenderInterface* renderer = GetRenderer()) {
        renderer->CreateMesh(mesh);
    }
    // The mesh lives for the rest of the run, listed by the world registry.
    AppendMesh(mesh);
    return mesh;
}

int ReloadMeshFile(Mesh& mesh)
{
    TheFileManager().ReleaseFile(mesh.name, kResourceModel);
    const std::unique_ptr<ResourceFile> file = OpenResourceFile(mesh.name, kResourceModel);
    Mesh* parsed = nullptr;
    if (!file || ParseMeshFile(*file, &parsed, mesh.name) != 0) {
        Problem("Cannot reload mesh ", mesh.name, ": the file is missing or malformed");
        return -1;
    }
    const std::unique_ptr<Mesh> fresh(parsed);
    const size_t floats = size_t{fresh->vertexCount} * 3;
    mesh.AllocateArrays(fresh->vertexCount);
    mesh.vertexCount = fresh->vertexCount;
    std::memcpy(mesh.positions, fresh->positions, floats * sizeof(float));
    std::memcpy(mesh.normals, fresh->normals, floats * sizeof(float));
    std::memcpy(mesh.tangents, fresh->tangents, floats * sizeof(float));
    std::memcpy(mesh.binormals, fresh->binormals, floats * sizeof(float));
    std::memcpy(mesh.texcoords, fresh->texcoords, size_t{fresh->vertexCount} * 2 * sizeof(float));
    return 0;
}

void LoadMeshes(XMLTagExtended* section)
{
    LoadEachNamedFile(section, [](const std::string& name) { LoadMesh(name); });
}
