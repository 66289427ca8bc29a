#include "render/gl/pass_culling.h"

#include <algorithm>
#include <cmath>

namespace {

float RowLength(const Matrix4& m, int row)
{
    return std::sqrt(m.m[row][0] * m.m[row][0] + m.m[row][1] * m.m[row][1] + m.m[row][2] * m.m[row][2]);
}

// Model matrices scale, then turn, then move: the longest row is the most
// they stretch the mesh.
float BoundingRadius(const RenderInstance& instance)
{
    const Matrix4& model = *instance.modelMatrix;
    return instance.gpuMesh->radius * std::max({RowLength(model, 0), RowLength(model, 1), RowLength(model, 2)});
}

Vec3 Origin(const Matrix4& model)
{
    return Vec3{model.m[3][0], model.m[3][1], model.m[3][2]};
}

bool Placeable(const RenderInstance* instance)
{
    return instance && instance->gpuMesh && instance->modelMatrix;
}

// The clip-space plane a . p + d >= 0 built from two columns of the
// combined matrix (sign -1 subtracts the second), scaled to unit normal.
struct Plane {
    Vec3 normal;
    float offset = 0.0f;
};

Plane ColumnPlane(const Matrix4& m, int first, int second, float sign)
{
    const auto column = [&m](int c, int row) { return c < 0 ? 0.0f : m.m[row][c]; };
    Plane plane{Vec3{column(first, 0) + sign * column(second, 0), column(first, 1) + sign * column(second, 1),
                     column(first, 2) + sign * column(second, 2)},
                column(first, 3) + sign * column(second, 3)};
    const float length = std::sqrt(Dot(plane.normal, plane.normal));
    if (length > 0.0f) {
        plane.normal.Scale(1.0f / length);
        plane.offset /= length;
    }
    return plane;
}

}  // namespace

bool ReachesInto(const RenderInstance& instance, const Vec3& centre, float radius)
{
    const float reach = radius + BoundingRadius(instance);
    const Vec3 offset = Subtract(Origin(*instance.modelMatrix), centre);
    const float squared = Dot(offset, offset);
    return !std::isfinite(squared) || !std::isfinite(reach) || squared <= reach * reach;
}

std::vector<RenderInstance*> InView(const std::vector<RenderInstance*>& instances, const Matrix4& viewProjection)
{
    // Left, right, bottom, top, near (depth 0) and far (depth w).
    const Plane planes[6] = {
        ColumnPlane(viewProjection, 3, 0, 1.0f),  ColumnPlane(viewProjection, 3, 0, -1.0f),
        ColumnPlane(viewProjection, 3, 1, 1.0f),  ColumnPlane(viewProjection, 3, 1, -1.0f),
        ColumnPlane(viewProjection, 2, -1, 1.0f), ColumnPlane(viewProjection, 3, 2, -1.0f),
    };
    std::vector<RenderInstance*> shown;
    shown.reserve(instances.size());
    for (RenderInstance* instance : instances) {
        if (Placeable(instance)) {
            const Vec3 centre = Origin(*instance->modelMatrix);
            const float radius = BoundingRadius(*instance);
            // Written so that anything not a number keeps the instance.
            const bool outside = std::any_of(std::begin(planes), std::end(planes), [&](const Plane& plane) {
                return Dot(plane.normal, centre) + plane.offset < -radius;
            });
            if (outside) {
                continue;
            }
        }
        shown.push_back(instance);
    }
    return shown;
}

std::vector<RenderInstance*> WithinLightReach(const std::vector<RenderInstance*>& instances, const Vec3& light,
                                              float cutoff)
{
    std::vector<RenderInstance*> reaching;
    reaching.reserve(instances.size());
    for (RenderInstance* instance : instances) {
        if (!Placeable(instance) || ReachesInto(*instance, light, cutoff)) {
            reaching.push_back(instance);
        }
    }
    return reaching;
}
