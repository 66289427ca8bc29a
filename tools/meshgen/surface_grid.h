#pragma once
// Parametric surfaces sampled on a grid: the surface gives, for parameters
// s and t in 0..1, a point with its outward normal and texture coordinate.

#include <functional>

#include "tools/meshgen/indexed_mesh.h"

struct SurfacePoint {
    Float3 position;
    Float3 normal;  // unit length, pointing out of the solid
    Float2 texcoord;
};

using Surface = std::function<SurfacePoint(float s, float t)>;

// Samples (columns + 1) x (rows + 1) points, s along columns and t along
// rows, and adds two triangles per grid cell (none where a cell collapses,
// as at a sphere's poles).
IndexedMesh SampleSurface(const Surface& surface, int columns, int rows);
