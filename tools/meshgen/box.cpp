#include "tools/meshgen/face_axes.h"
#include "tools/meshgen/shapes.h"
#include "tools/meshgen/surface_grid.h"

namespace {

// Half the box's extent along a unit axis direction.
float HalfExtentAlong(Float3 axis, Float3 size)
{
    return 0.5f *
           (std::fabs(axis.x) * size.x + std::fabs(axis.y) * size.y + std::fabs(axis.z) * size.z);
}

IndexedMesh BoxFace(Float3 normal, Float3 size, float uvPerUnit)
{
    const FaceAxes axes = AxesForFace(normal);
    const float halfRight = HalfExtentAlong(axes.right, size);
    const float halfDown = HalfExtentAlong(axes.down, size);
    const Float3 centre =
        normal * HalfExtentAlong(normal, size) + Float3{0.0f, size.y * 0.5f, 0.0f};
    const Surface face = [=](float s, float t) {
        const Float3 position = centre + axes.right * ((2.0f * s - 1.0f) * halfRight) +
                                axes.down * ((2.0f * t - 1.0f) * halfDown);
        return SurfacePoint{
            position, normal, {2.0f * s * halfRight * uvPerUnit, 2.0f * t * halfDown * uvPerUnit}};
    };
    return SampleSurface(face, 1, 1);
}

}  // namespace

IndexedMesh MakeBox(Float3 size, float uvPerUnit)
{
    const Float3 normals[6] = {{1, 0, 0}, {-1, 0, 0}, {0, 1, 0}, {0, -1, 0}, {0, 0, 1}, {0, 0, -1}};
    IndexedMesh mesh;
    for (Float3 normal : normals) {
        mesh.Append(BoxFace(normal, size, uvPerUnit));
    }
    ComputeTangentFrames(mesh);
    return mesh;
}
