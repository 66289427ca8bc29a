#include "tools/meshgen/indexed_mesh.h"

#include <algorithm>

#include "tools/common/tangent_frame.h"

uint32_t IndexedMesh::AddVertex(Float3 position, Float3 normal, Float2 texcoord)
{
    MeshVertex vertex;
    vertex.position = position;
    vertex.normal = normal;
    vertex.texcoord = texcoord;
    vertices.push_back(vertex);
    return static_cast<uint32_t>(vertices.size() - 1);
}

void IndexedMesh::AddTriangle(uint32_t a, uint32_t b, uint32_t c)
{
    const Float3 pa = vertices[a].position;
    const Float3 turn = Cross(vertices[b].position - pa, vertices[c].position - pa);
    const float longestEdge =
        std::max({Length(vertices[b].position - pa), Length(vertices[c].position - pa),
                  Length(vertices[c].position - vertices[b].position)});
    if (!(Length(turn) > 1e-6f * longestEdge * longestEdge)) {
        return;
    }
    const Float3 normals = vertices[a].normal + vertices[b].normal + vertices[c].normal;
    if (Dot(turn, normals) < 0.0f) {
        std::swap(b, c);
    }
    indices.insert(indices.end(), {a, b, c});
}

void IndexedMesh::Append(const IndexedMesh& other)
{
    const auto offset = static_cast<uint32_t>(vertices.size());
    vertices.insert(vertices.end(), other.vertices.begin(), other.vertices.end());
    for (uint32_t index : other.indices) {
        indices.push_back(index + offset);
    }
}

void ComputeTangentFrames(IndexedMesh& mesh)
{
    for (MeshVertex& vertex : mesh.vertices) {
        vertex.tangent = {};
        vertex.binormal = {};
    }
    for (size_t i = 0; i + 2 < mesh.indices.size(); i += 3) {
        MeshVertex* corners[3] = {&mesh.vertices[mesh.indices[i]],
                                  &mesh.vertices[mesh.indices[i + 1]],
                                  &mesh.vertices[mesh.indices[i + 2]]};
        const UvDirections grow = TriangleUvDirections(*corners[0], *corners[1], *corners[2]);
        for (MeshVertex* corner : corners) {
            corner->tangent = corner->tangent + grow.tangent;
            corner->binormal = corner->binormal + grow.binormal;
        }
    }
    for (MeshVertex& vertex : mesh.vertices) {
        OrthonormaliseFrame(vertex, vertex.normal);
    }
}

std::vector<MeshVertex> ExpandTriangles(const IndexedMesh& mesh)
{
    std::vector<MeshVertex> triangles;
    triangles.reserve(mesh.indices.size());
    for (uint32_t index : mesh.indices) {
        triangles.push_back(mesh.vertices[index]);
    }
    return triangles;
}
