#include "render/gl/shadow_signature.h"

#include <algorithm>
#include <cmath>

namespace {

// 64-bit FNV-1a over the bytes it is fed.
class Hash {
public:
    template <typename T>
    void Add(const T& value)
    {
        const auto* bytes = reinterpret_cast<const unsigned char*>(&value);
        for (size_t i = 0; i < sizeof(T); ++i) {
            value_ = (value_ ^ bytes[i]) * 1099511628211ull;
        }
    }
    uint64_t Value() const { return value_ == 0 ? 1 : value_; }

private:
    uint64_t value_ = 14695981039346656037ull;
};

float RowLength(const Matrix4& m, int row)
{
    return std::sqrt(m.m[row][0] * m.m[row][0] + m.m[row][1] * m.m[row][1] + m.m[row][2] * m.m[row][2]);
}

// Whether the instance's bounding sphere meets the light's cutoff sphere; an
// instance whose bounds are not finite always counts.
bool WithinReach(const RenderInstance& instance, const Vec3& light, float cutoff)
{
    const Matrix4& model = *instance.modelMatrix;
    const float scale = std::max({RowLength(model, 0), RowLength(model, 1), RowLength(model, 2)});
    const float reach = cutoff + instance.gpuMesh->radius * scale;
    const float dx = model.m[3][0] - light.x;
    const float dy = model.m[3][1] - light.y;
    const float dz = model.m[3][2] - light.z;
    const float squared = dx * dx + dy * dy + dz * dz;
    return !std::isfinite(squared) || !std::isfinite(reach) || squared <= reach * reach;
}

}  // namespace

uint64_t ShadowSignature(const Vec3& lightPosition, float cutoff, const std::list<RenderInstance*>& instances)
{
    Hash hash;
    hash.Add(lightPosition);
    hash.Add(cutoff);
    for (const RenderInstance* instance : instances) {
        if (!instance || !instance->gpuMesh || !instance->modelMatrix ||
            !WithinReach(*instance, lightPosition, cutoff)) {
            continue;
        }
        hash.Add(instance);
        hash.Add(instance->gpuMesh);
        hash.Add(instance->gpuMesh->revision);
        hash.Add(instance->gpuMesh->vertexCount);
        hash.Add(*instance->modelMatrix);
    }
    return hash.Value();
}

float MeshRadius(const Mesh& mesh)
{
    float largest = 0.0f;
    for (uint32_t v = 0; mesh.positions && v < mesh.vertexCount; ++v) {
        const float* p = mesh.positions + 3 * v;
        largest = std::max(largest, p[0] * p[0] + p[1] * p[1] + p[2] * p[2]);
    }
    return std::sqrt(largest);
}
