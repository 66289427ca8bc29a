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

std::string ModelFileProblem(const uint8_t* head, size_t headSize, uint64_t fileSize)
{
    if (!head || headSize < kModelHeaderBytes || fileSize < kModelHeaderBytes) {
        return "holds " + std::to_string(fileSize) + " bytes, fewer than its 8-byte header";
    }
    const uint32_t magic = ReadU32(head + 4);
    if (magic != kModelFileMagic) {
        return "its magic number is " + std::to_string(magic) + ", not 4919 (0x1337)";
    }
    const uint32_t count = ReadU32(head);
    const uint64_t needed = ModelFileBytes(count);
    if (fileSize < needed) {
        return std::to_string(count) + " vertices need " + std::to_string(needed) + " bytes, the file holds " +
               std::to_string(fileSize);
    }
    return {};
}

uint64_t ModelFileBytes(uint32_t vertexCount)
{
    return kModelHeaderBytes + uint64_t{kModelVertexBytes} * vertexCount;
}

ReadAdmission ModelAdmission()
{
    ReadAdmission admission;
    admission.headBytes = kModelHeaderBytes;
    admission.admit = [](const uint8_t* head, size_t headSize, uint64_t fileSize, uint64_t* readBytes) {
        std::string problem = ModelFileProblem(head, headSize, fileSize);
        if (problem.empty()) {
            *readBytes = ModelFileBytes(ReadU32(head));  // what follows the last record is not read
        }
        return problem;
    };
    return admission;
}

int ParseMeshFile(const ResourceFile& file, Mesh** out, const std::string& name, std::string* why)
{
    const std::string problem = ModelFileProblem(file.data, file.size, file.size);
    if (why) {
        *why = !problem.empty() ? problem : name.empty() ? "the mesh has no name" : std::string();
    }
    if (!out || name.empty() || !problem.empty()) {
        return -1;
    }
    const uint32_t count = ReadU32(file.data);
    auto* mesh = new Mesh;
    mesh->AllocateArrays(count);
    mesh->name = name;
    SplitVertexRecords(file.data + kModelHeaderBytes, *mesh);
    *out = mesh;
    return 0;
}

Mesh* LoadMesh(const std::string& name)
{
    std::string why;
    const std::unique_ptr<ResourceFile> file = OpenResourceFile(name, kResourceModel, ModelAdmission(), &why);
    if (!file && why.empty()) {
        Log("Cannot load file ", name);
        return nullptr;
    }
    Mesh* mesh = nullptr;
    if (!file || ParseMeshFile(*file, &mesh, name, &why) != 0) {
        Log("Creating Mesh failure: ", name, " (", why, ")");
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
    const std::unique_ptr<ResourceFile> file = OpenResourceFile(mesh.name, kResourceModel, ModelAdmission());
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
