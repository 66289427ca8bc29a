// Fuzzing entry for the mesh file parser.

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <memory>

#include "fuzz/fuzz_support.h"
#include "scene/mesh_loader.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    QuietLogOnce();
    std::unique_ptr<uint8_t[]> bytes;
    ResourceFile file;
    if (!FuzzedFile(data, size, kResourceModel, &bytes, &file)) {
        return 0;
    }
    Mesh* mesh = nullptr;
    if (ParseMeshFile(file, &mesh, "fuzzed") == 0) {
        // Every array is read whole, as the renderer will.
        float sum = 0.0f;
        for (size_t i = 0; i < size_t{mesh->vertexCount} * 3; ++i) {
            sum += mesh->positions[i] + mesh->normals[i] + mesh->tangents[i] + mesh->binormals[i];
        }
        for (size_t i = 0; i < size_t{mesh->vertexCount} * 2; ++i) {
            sum += mesh->texcoords[i];
        }
        if (sum == 1.0f && mesh->vertexCount == 0) {
            std::abort();  // never: keeps the reads
        }
        delete mesh;
    }
    return 0;
}
