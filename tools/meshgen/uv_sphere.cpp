#include <numbers>

#include "tools/meshgen/shapes.h"
#include "tools/meshgen/surface_grid.h"

IndexedMesh MakeUvSphere(float radius, int segments, int rings)
{
    constexpr float kPi = std::numbers::pi_v<float>;
    const Surface sphere = [=](float s, float t) {
        const float polar = kPi * t;  // 0 at the north pole
        const float around = 2.0f * kPi * s;
        const Float3 outward{std::sin(polar) * std::cos(around), std::cos(polar),
                             std::sin(polar) * std::sin(around)};
        return SurfacePoint{outward * radius, outward, {2.0f * s, t}};
    };
    IndexedMesh mesh = SampleSurface(sphere, segments, rings);
    ComputeTangentFrames(mesh);
    return mesh;
}
