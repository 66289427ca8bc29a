#include "tools/common/tangent_frame.h"

#include <cmath>

UvDirections TriangleUvDirections(const MeshVertex& a, const MeshVertex& b, const MeshVertex& c)
{
    const Float3 edge1 = b.position - a.position;
    const Float3 edge2 = c.position - a.position;
    const Float2 uv1 = b.texcoord - a.texcoord;
    const Float2 uv2 = c.texcoord - a.texcoord;
    const float determinant = uv1.x * uv2.y - uv2.x * uv1.y;
    if (!(std::fabs(determinant) > 1e-12f) || !std::isfinite(determinant)) {
        return {};
    }
    const float inverse = 1.0f / determinant;
    return {
        (edge1 * uv2.y - edge2 * uv1.y) * inverse,
        (edge2 * uv1.x - edge1 * uv2.x) * inverse,
    };
}

Float3 AnyPerpendicular(Float3 unit)
{
    const float ax = std::fabs(unit.x);
    const float ay = std::fabs(unit.y);
    const float az = std::fabs(unit.z);
    Float3 axis{0.0f, 0.0f, 1.0f};
    if (ax <= ay && ax <= az) {
        axis = {1.0f, 0.0f, 0.0f};
    } else if (ay <= az) {
        axis = {0.0f, 1.0f, 0.0f};
    }
    return Normalized(Cross(unit, axis));
}

void OrthonormaliseFrame(MeshVertex& vertex, Float3 fallbackNormal)
{
    Float3 normal = Normalized(vertex.normal);
    if (Length(normal) == 0.0f) {
        normal = Normalized(fallbackNormal);
    }
    if (Length(normal) == 0.0f) {
        normal = {0.0f, 1.0f, 0.0f};
    }
    // A tangent (nearly) along the normal has no usable direction left.
    const Float3 projected = vertex.tangent - normal * Dot(normal, vertex.tangent);
    Float3 tangent;
    if (Length(projected) > 1e-5f * Length(vertex.tangent)) {
        tangent = Normalized(projected);
    }
    if (Length(tangent) < 0.5f) {
        tangent = AnyPerpendicular(normal);
    }
    Float3 binormal = Cross(normal, tangent);
    // With v growing down the picture and the normal towards the viewer, v
    // grows along tangent x normal: the side to take when none is given.
    if (!(Dot(binormal, vertex.binormal) > 0.0f)) {
        binormal = -binormal;
    }
    vertex.normal = normal;
    vertex.tangent = tangent;
    vertex.binormal = binormal;
}
