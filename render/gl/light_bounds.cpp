#include "render/gl/light_bounds.h"

#include <algorithm>
#include <cmath>

namespace {

struct Clip {
    float x, y, z, w;
};

// The point (x, y, z, 1) times the projection.
Clip Project(float x, float y, float z, const Matrix4& p)
{
    return Clip{x * p.m[0][0] + y * p.m[1][0] + z * p.m[2][0] + p.m[3][0],
                x * p.m[0][1] + y * p.m[1][1] + z * p.m[2][1] + p.m[3][1],
                x * p.m[0][2] + y * p.m[1][2] + z * p.m[2][2] + p.m[3][2],
                x * p.m[0][3] + y * p.m[1][3] + z * p.m[2][3] + p.m[3][3]};
}

// The whole picture at every depth.
LightBounds WholePicture(unsigned width, unsigned height)
{
    return LightBounds{true, 0, 0, static_cast<int>(width), static_cast<int>(height), 1.0f};
}

}  // namespace

LightBounds ComputeLightBounds(const Vec3& centre, float radius, const Matrix4& view, const Matrix4& projection,
                               unsigned width, unsigned height)
{
    const Vec3 c = TransformCoord(centre, view);
    const float r = std::fabs(radius);
    // The near plane of a left-handed perspective: depth(z) = m22 + m32 / z
    // is 0 there.
    const float m22 = projection.m[2][2];
    const float m32 = projection.m[3][2];
    const float nearZ = m22 != 0.0f ? -m32 / m22 : 0.0f;
    if (!std::isfinite(c.x) || !std::isfinite(c.y) || !std::isfinite(c.z) || !std::isfinite(r) || nearZ <= 0.0f) {
        return WholePicture(width, height);
    }
    if (c.z + r <= nearZ) {
        return LightBounds{};  // wholly behind the camera
    }
    // The far plane, where depth(z) is 1: nothing beyond it is drawn, so a
    // sphere wholly beyond it lights nothing.
    const float farPlaneZ = m22 != 1.0f ? m32 / (1.0f - m22) : 0.0f;
    if (farPlaneZ > nearZ && c.z - r >= farPlaneZ) {
        return LightBounds{};
    }
    LightBounds bounds = WholePicture(width, height);
    const float farZ = c.z + r;
    bounds.farDepth = std::clamp(m22 + m32 / farZ, 0.0f, 1.0f);
    // The part of the box around the sphere in front of the near plane: its
    // projected corners enclose what of the sphere can be seen. A sphere
    // round the camera spreads over the whole picture; one beside it, over
    // none of it.
    const float nearSide = std::max(c.z - r, nearZ);
    float left = 1e30f, right = -1e30f, bottom = 1e30f, top = -1e30f;
    for (int corner = 0; corner < 8; ++corner) {
        const float x = c.x + ((corner & 1) ? r : -r);
        const float y = c.y + ((corner & 2) ? r : -r);
        const float z = (corner & 4) ? farZ : nearSide;
        const Clip clip = Project(x, y, z, projection);
        left = std::min(left, clip.x / clip.w);
        right = std::max(right, clip.x / clip.w);
        bottom = std::min(bottom, clip.y / clip.w);
        top = std::max(top, clip.y / clip.w);
    }
    const auto pixel = [](float ndc, unsigned size) {
        return std::clamp((ndc * 0.5f + 0.5f) * static_cast<float>(size), 0.0f, static_cast<float>(size));
    };
    // A pixel of margin on each side against rounding.
    const int x0 = std::max(static_cast<int>(std::floor(pixel(left, width))) - 1, 0);
    const int x1 = std::min(static_cast<int>(std::ceil(pixel(right, width))) + 1, static_cast<int>(width));
    const int y0 = std::max(static_cast<int>(std::floor(pixel(bottom, height))) - 1, 0);
    const int y1 = std::min(static_cast<int>(std::ceil(pixel(top, height))) + 1, static_cast<int>(height));
    if (x1 <= x0 || y1 <= y0 || right < -1.0f || left > 1.0f || top < -1.0f || bottom > 1.0f) {
        return LightBounds{};  // off the picture
    }
    bounds.x = x0;
    bounds.y = y0;
    bounds.width = x1 - x0;
    bounds.height = y1 - y0;
    return bounds;
}

LightBounds UniteLightBounds(const LightBounds& a, const LightBounds& b)
{
    if (!a.visible) {
        return b;
    }
    if (!b.visible) {
        return a;
    }
    const int x0 = std::min(a.x, b.x);
    const int y0 = std::min(a.y, b.y);
    const int x1 = std::max(a.x + a.width, b.x + b.width);
    const int y1 = std::max(a.y + a.height, b.y + b.height);
    return LightBounds{true, x0, y0, x1 - x0, y1 - y0, std::max(a.farDepth, b.farDepth)};
}
