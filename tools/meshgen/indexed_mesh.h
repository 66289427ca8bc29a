#pragma once
// Shapes are built as indexed triangles, so that a vertex shared by several
// triangles gets one tangent frame summed over all of them; the model file
// then gets the expanded triangle list.

#include <cstdint>
#include <vector>

#include "tools/common/mesh_vertex.h"

struct IndexedMesh {
    std::vector<MeshVertex> vertices;
    std::vector<uint32_t> indices;  // three per triangle

    uint32_t AddVertex(Float3 position, Float3 normal, Float2 texcoord);
    // Adds the triangle turned so that (b - a) x (c - a) points the way of its
    // corners' normals; a triangle without area is left out.
    void AddTriangle(uint32_t a, uint32_t b, uint32_t c);
    // Appends another mesh's vertices and triangles.
    void Append(const IndexedMesh& other);
};

// Gives every vertex the tangent and binormal of the directions in which u
// and v grow across its triangles, made orthonormal with its normal.
void ComputeTangentFrames(IndexedMesh& mesh);

// One vertex record per triangle corner.
std::vector<MeshVertex> ExpandTriangles(const IndexedMesh& mesh);
