#include <array>
#include <vector>

#include "tools/meshgen/face_axes.h"
#include "tools/meshgen/shapes.h"

namespace {

using Triangle = std::array<Float3, 3>;

std::vector<Triangle> Icosahedron()
{
    const float g = (1.0f + std::sqrt(5.0f)) * 0.5f;
    const Float3 v[12] = {{-1, g, 0}, {1, g, 0}, {-1, -g, 0}, {1, -g, 0},
                          {0, -1, g}, {0, 1, g}, {0, -1, -g}, {0, 1, -g},
                          {g, 0, -1}, {g, 0, 1}, {-g, 0, -1}, {-g, 0, 1}};
    const int faces[20][3] = {{0, 11, 5}, {0, 5, 1},  {0, 1, 7},   {0, 7, 10}, {0, 10, 11},
                              {1, 5, 9},  {5, 11, 4}, {11, 10, 2}, {10, 7, 6}, {7, 1, 8},
                              {3, 9, 4},  {3, 4, 2},  {3, 2, 6},   {3, 6, 8},  {3, 8, 9},
                              {4, 9, 5},  {2, 4, 11}, {6, 2, 10},  {8, 6, 7},  {9, 8, 1}};
    std::vector<Triangle> triangles;
    for (const auto& f : faces) {
        triangles.push_back({Normalized(v[f[0]]), Normalized(v[f[1]]), Normalized(v[f[2]])});
    }
    return triangles;
}

// Splits every triangle into four at its edges' midpoints, pushed out onto
// the unit sphere.
std::vector<Triangle> Subdivide(const std::vector<Triangle>& triangles)
{
    std::vector<Triangle> finer;
    finer.reserve(triangles.size() * 4);
    for (const Triangle& t : triangles) {
        const Float3 ab = Normalized(t[0] + t[1]);
        const Float3 bc = Normalized(t[1] + t[2]);
        const Float3 ca = Normalized(t[2] + t[0]);
        finer.push_back({t[0], ab, ca});
        finer.push_back({t[1], bc, ab});
        finer.push_back({t[2], ca, bc});
        finer.push_back({ab, bc, ca});
    }
    return finer;
}

// Three vertices of its own, the face's normal at each, and the texture
// mapped flat so that the face's circumscribed circle fits the unit square.
void AddShard(IndexedMesh& mesh, const Triangle& corners)
{
    const Float3 centre = (corners[0] + corners[1] + corners[2]) * (1.0f / 3.0f);
    const Float3 normal = Normalized(Cross(corners[1] - corners[0], corners[2] - corners[0]));
    const Float3 outward = Dot(normal, centre) < 0.0f ? -normal : normal;
    const FaceAxes axes = AxesForFace(outward);
    const float scale = 0.5f / Length(corners[0] - centre);
    uint32_t indices[3];
    for (int k = 0; k < 3; ++k) {
        const Float3 offset = corners[k] - centre;
        const Float2 uv{0.5f + Dot(offset, axes.right) * scale,
                        0.5f + Dot(offset, axes.down) * scale};
        indices[k] = mesh.AddVertex(corners[k], outward, uv);
    }
    mesh.AddTriangle(indices[0], indices[1], indices[2]);
}

}  // namespace

IndexedMesh MakeFacetedSphere(float radius, int subdivisions)
{
    std::vector<Triangle> triangles = Icosahedron();
    for (int level = 0; level < subdivisions; ++level) {
        triangles = Subdivide(triangles);
    }
    IndexedMesh mesh;
    for (Triangle& triangle : triangles) {
        for (Float3& corner : triangle) {
            corner = corner * radius;
        }
        AddShard(mesh, triangle);
    }
    ComputeTangentFrames(mesh);
    return mesh;
}
