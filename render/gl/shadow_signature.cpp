#include "render/gl/shadow_signature.h"

#include <cmath>

#include "render/gl/pass_culling.h"

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

}  // namespace

uint64_t ShadowSignature(const Vec3& lightPosition, float cutoff, const std::list<RenderInstance*>& instances)
{
    Hash hash;
    hash.Add(lightPosition);
    hash.Add(cutoff);
    for (const RenderInstance* instance : instances) {
        if (!instance || !instance->gpuMesh || !instance->modelMatrix ||
            !ReachesInto(*instance, lightPosition, cutoff)) {
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
