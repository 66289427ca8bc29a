#include "render/render_records.h"

#include "core/log.h"

void Mesh::AllocateArrays(uint32_t count)
{
    const size_t n = count;
    storage_ = std::make_unique_for_overwrite<float[]>(n * kFloatsPerVertex);
    vertexCount = count;
    positions = storage_.get();
    normals = positions + 3 * n;
    texcoords = normals + 3 * n;
    tangents = texcoords + 2 * n;
    binormals = tangents + 3 * n;
}

Material::~Material()
{
    LogLine("material dtor");
}
