#include "tools/common/mesh_writer.h"

#include "tools/common/binary_output.h"

namespace {

void AppendFloat3(std::vector<uint8_t>& bytes, Float3 v)
{
    AppendF32(bytes, v.x);
    AppendF32(bytes, v.y);
    AppendF32(bytes, v.z);
}

}  // namespace

std::vector<uint8_t> EncodeModelFile(const std::vector<MeshVertex>& triangles)
{
    std::vector<uint8_t> bytes;
    bytes.reserve(kModelHeaderBytes + triangles.size() * kModelVertexBytes);
    AppendU32(bytes, static_cast<uint32_t>(triangles.size()));
    AppendU32(bytes, kModelFileMagic);
    for (const MeshVertex& vertex : triangles) {
        AppendFloat3(bytes, vertex.position);
        AppendF32(bytes, vertex.texcoord.x);
        AppendF32(bytes, vertex.texcoord.y);
        AppendFloat3(bytes, vertex.normal);
        AppendFloat3(bytes, vertex.tangent);
        AppendFloat3(bytes, vertex.binormal);
    }
    return bytes;
}

std::string WriteModelFile(const std::filesystem::path& path,
                           const std::vector<MeshVertex>& triangles)
{
    if (triangles.size() % 3 != 0) {
        return "vertex count " + std::to_string(triangles.size()) +
               " is not a whole number of triangles";
    }
    if (triangles.size() > UINT32_MAX / 64) {
        return "too many vertices for a model file";
    }
    return WriteBinaryFile(path, EncodeModelFile(triangles));
}
