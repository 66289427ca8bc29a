#include "tools/meshgen/surface_grid.h"

IndexedMesh SampleSurface(const Surface& surface, int columns, int rows)
{
    IndexedMesh mesh;
    for (int row = 0; row <= rows; ++row) {
        const float t = static_cast<float>(row) / static_cast<float>(rows);
        for (int column = 0; column <= columns; ++column) {
            const float s = static_cast<float>(column) / static_cast<float>(columns);
            const SurfacePoint point = surface(s, t);
            mesh.AddVertex(point.position, point.normal, point.texcoord);
        }
    }
    const auto stride = static_cast<uint32_t>(columns + 1);
    for (uint32_t row = 0; row < static_cast<uint32_t>(rows); ++row) {
        for (uint32_t column = 0; column < static_cast<uint32_t>(columns); ++column) {
            const uint32_t topLeft = row * stride + column;
            const uint32_t bottomLeft = topLeft + stride;
            mesh.AddTriangle(topLeft, topLeft + 1, bottomLeft + 1);
            mesh.AddTriangle(topLeft, bottomLeft + 1, bottomLeft);
        }
    }
    return mesh;
}
