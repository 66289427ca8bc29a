#pragma once
// Reads a model in any format the asset import library knows and turns it
// into one triangle list with a full tangent frame at every corner.

#include <string>
#include <vector>

#include "tools/common/mesh_vertex.h"

struct ImportOptions {
    float scale = 1.0f;  // multiplies every position
    bool flipV = false;  // v becomes 1 - v (and the binormal turns round with it)
};

struct ImportedModel {
    std::vector<MeshVertex> triangles;
    std::string error;  // empty on success
};

// Every mesh of the file, in the poses its node hierarchy gives them;
// polygons are split into triangles, points and lines are dropped, missing
// normals are generated (smoothed across faces) and tangents and binormals
// follow the first set of texture coordinates.
ImportedModel ImportModel(const std::string& path, const ImportOptions& options);
