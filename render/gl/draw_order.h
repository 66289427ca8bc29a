#pragma once
// The order in which the frame draws its instances: nearest first, so that
// the depth test turns away the hidden parts of farther ones before their
// pixels are shaded.

#include <list>
#include <vector>

#include "render/render_records.h"
#include "core/math.h"

// The instances with a model matrix, ordered by the distance of their origin
// from `eye`, nearest first; equally distant ones keep their order. Null
// entries stay in, first, so that the caller can report them.
std::vector<RenderInstance*> NearestFirst(const std::list<RenderInstance*>& instances, const Vec3& eye);
