#pragma once
// The lens every scene camera looks through: its vertical field of view and
// the near and far planes of its projection. The renderer builds its
// projection from these, and the production checker judges camera paths by
// the same near plane.

#include "core/math.h"

inline constexpr float kFieldOfView = 1.2217305f;  // 70 degrees
inline constexpr float kNearPlane = 0.05f;
inline constexpr float kFarPlane = 30.0f;

// The scene cameras' projection for a picture of that width / height.
Matrix4 SceneProjection(float aspect);

// How far from the eye the near plane's visible rectangle reaches: its
// corners' distance. A surface nearer than that can be cut open by the
// plane. Infinite for a projection that is not a perspective.
float NearPlaneReach(const Matrix4& projection);
