#include "render/gl/draw_order.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <utility>

std::vector<RenderInstance*> NearestFirst(const std::list<RenderInstance*>& instances, const Vec3& eye)
{
    std::vector<std::pair<float, RenderInstance*>> keyed;
    keyed.reserve(instances.size());
    for (RenderInstance* instance : instances) {
        float distance = -std::numeric_limits<float>::infinity();  // nothing to place: first
        if (instance && instance->modelMatrix) {
            const Matrix4& model = *instance->modelMatrix;
            const Vec3 offset = Subtract(Vec3{model.m[3][0], model.m[3][1], model.m[3][2]}, eye);
            distance = Dot(offset, offset);
            if (std::isnan(distance)) {
                distance = std::numeric_limits<float>::infinity();  // a broken transform: last
            }
        }
        keyed.emplace_back(distance, instance);
    }
    std::stable_sort(keyed.begin(), keyed.end(),
                     [](const auto& a, const auto& b) { return a.first < b.first; });
    std::vector<RenderInstance*> ordered;
    ordered.reserve(keyed.size());
    for (const auto& entry : keyed) {
        ordered.push_back(entry.second);
    }
    return ordered;
}
