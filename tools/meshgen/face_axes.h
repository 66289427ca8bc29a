#pragma once
// Texture axes for a flat face: "down" is the world's -y as seen on the face
// (any fixed direction on faces that look straight up or down) and "right"
// completes right x down = normal.

#include "tools/common/vector_math.h"

struct FaceAxes {
    Float3 right;  // u grows this way
    Float3 down;   // v grows this way
};

FaceAxes AxesForFace(Float3 unitNormal);
