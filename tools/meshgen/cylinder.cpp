#include <numbers>

#include "tools/meshgen/face_axes.h"
#include "tools/meshgen/shapes.h"
#include "tools/meshgen/surface_grid.h"

namespace {

constexpr float kTau = 2.0f * std::numbers::pi_v<float>;

IndexedMesh Side(float radius, float height, int segments, float uvPerUnit)
{
    const float circumference = kTau * radius;
    const Surface side = [=](float s, float t) {
        const Float3 outward{std::cos(kTau * s), 0.0f, std::sin(kTau * s)};
        return SurfacePoint{outward * radius + Float3{0.0f, height * (1.0f - t), 0.0f},
                            outward,
                            {s * circumference * uvPerUnit, t * height * uvPerUnit}};
    };
    return SampleSurface(side, segments, 1);
}

// A disc at height y facing up or down, mapped flat onto the texture.
IndexedMesh Cap(float radius, float y, Float3 normal, int segments, float uvPerUnit)
{
    const FaceAxes axes = AxesForFace(normal);
    const Surface cap = [=](float s, float t) {
        const Float3 position{t * radius * std::cos(kTau * s), y, t * radius * std::sin(kTau * s)};
        return SurfacePoint{
            position,
            normal,
            {Dot(position, axes.right) * uvPerUnit, Dot(position, axes.down) * uvPerUnit}};
    };
    return SampleSurface(cap, segments, 1);
}

}  // namespace

IndexedMesh MakeCylinder(float radius, float height, int segments, float uvPerUnit)
{
    IndexedMesh mesh = Side(radius, height, segments, uvPerUnit);
    mesh.Append(Cap(radius, height, {0.0f, 1.0f, 0.0f}, segments, uvPerUnit));
    mesh.Append(Cap(radius, 0.0f, {0.0f, -1.0f, 0.0f}, segments, uvPerUnit));
    ComputeTangentFrames(mesh);
    return mesh;
}
