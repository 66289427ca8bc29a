#include <numbers>

#include "tools/meshgen/shapes.h"
#include "tools/meshgen/surface_grid.h"

namespace {

constexpr float kTau = 2.0f * std::numbers::pi_v<float>;

// The knot's centre line: it winds `turns` times round the y axis while
// circling the torus's core `twists` times, at angle a in 0..2pi.
struct KnotCurve {
    float radius;
    float swing;  // distance of the curve from the torus's core circle
    float turns;
    float twists;

    Float3 At(float a) const
    {
        const float distance = radius + swing * std::cos(twists * a);
        return {distance * std::cos(turns * a), swing * std::sin(twists * a),
                distance * std::sin(turns * a)};
    }

    Float3 Direction(float a) const
    {
        const float distance = radius + swing * std::cos(twists * a);
        const float distanceRate = -swing * twists * std::sin(twists * a);
        return Normalized(
            {distanceRate * std::cos(turns * a) - distance * turns * std::sin(turns * a),
             swing * twists * std::cos(twists * a),
             distanceRate * std::sin(turns * a) + distance * turns * std::cos(turns * a)});
    }
};

}  // namespace

IndexedMesh MakeTorusKnot(const TorusKnotShape& shape)
{
    // The swing stays below the radius, so the curve never runs vertical and
    // "sideways" (direction x up) is defined everywhere along it.
    const KnotCurve curve{shape.radius, shape.radius * 0.5f, static_cast<float>(shape.turns),
                          static_cast<float>(shape.twists)};
    const float tube = shape.tubeRadius;
    const float uvRepeat = shape.uvRepeat;
    const Surface knot = [=](float s, float t) {
        const float a = kTau * s;
        const Float3 along = curve.Direction(a);
        const Float3 sideways = Normalized(Cross(along, {0.0f, 1.0f, 0.0f}));
        const Float3 up = Cross(sideways, along);
        const float around = kTau * t;
        const Float3 outward = sideways * std::cos(around) + up * std::sin(around);
        return SurfacePoint{curve.At(a) + outward * tube, outward, {s * uvRepeat, t}};
    };
    IndexedMesh mesh = SampleSurface(knot, shape.segments, shape.sides);
    ComputeTangentFrames(mesh);
    return mesh;
}
