#include "tools/meshgen/face_axes.h"

namespace {

// The part of the direction that lies in the face's plane.
Float3 InPlane(Float3 direction, Float3 unitNormal)
{
    return direction - unitNormal * Dot(unitNormal, direction);
}

}  // namespace

FaceAxes AxesForFace(Float3 unitNormal)
{
    Float3 down = InPlane({0.0f, -1.0f, 0.0f}, unitNormal);
    if (Length(down) < 1e-3f) {  // the face looks straight up or down
        down = InPlane({0.0f, 0.0f, 1.0f}, unitNormal);
    }
    down = Normalized(down);
    return {Cross(down, unitNormal), down};
}
