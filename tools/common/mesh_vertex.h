#pragma once
// One vertex of a model file, in the order its fourteen floats are stored.
// The tangent points where the texture's u grows and the binormal where its v
// grows (v = 0 is the texture's first, top row), both perpendicular to the
// normal.

#include "tools/common/vector_math.h"

struct MeshVertex {
    Float3 position;
    Float2 texcoord;
    Float3 normal;
    Float3 tangent;
    Float3 binormal;
};
