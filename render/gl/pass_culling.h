#pragma once
// What a pass may leave out without changing the picture: instances whose
// bounding sphere lies wholly outside the camera's view add no pixel to
// the geometry pass, and instances that do not reach into a light's cutoff
// sphere can neither be lit by it nor shade anything it lights (a shadow
// falls along the line from the light to a lit surface, all within reach).

#include <vector>

#include "render/gl/gl_resources.h"
#include "core/math.h"

// Whether the instance's bounding sphere (its mesh's radius, stretched by
// its model matrix) meets the sphere given; an instance whose bounds are not
// finite always does.
bool ReachesInto(const RenderInstance& instance, const Vec3& centre, float radius);

// The instances that may show through `viewProjection` (row vectors, depth
// 0..1), in their order; null entries and those that cannot be placed stay.
std::vector<RenderInstance*> InView(const std::vector<RenderInstance*>& instances, const Matrix4& viewProjection);

// The instances that reach into the light's cutoff sphere, in their order;
// null entries and those that cannot be placed stay.
std::vector<RenderInstance*> WithinLightReach(const std::vector<RenderInstance*>& instances, const Vec3& light,
                                              float cutoff);
