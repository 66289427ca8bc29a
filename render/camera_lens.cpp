#include "render/camera_lens.h"

#include <cmath>
#include <limits>

Matrix4 SceneProjection(float aspect)
{
    Matrix4 projection;
    MatrixPerspectiveFovLH(&projection, kFieldOfView, aspect, kNearPlane, kFarPlane);
    return projection;
}

float NearPlaneReach(const Matrix4& projection)
{
    const float scaleX = projection.m[0][0];
    const float scaleY = projection.m[1][1];
    const float depthScale = projection.m[2][2];
    if (scaleX == 0.0f || scaleY == 0.0f || depthScale == 0.0f || projection.m[2][3] != 1.0f) {
        return std::numeric_limits<float>::infinity();
    }
    // Depth is zero at the near plane: z * depthScale + depthOffset = 0.
    const float nearPlane = std::abs(projection.m[3][2] / depthScale);
    const float reach = nearPlane * std::sqrt(1.0f + 1.0f / (scaleX * scaleX) + 1.0f / (scaleY * scaleY));
    return std::isnan(reach) ? std::numeric_limits<float>::infinity() : reach;
}
