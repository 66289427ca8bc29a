#pragma once
// Camera paths against what the show draws: while a scene camera is the
// one the show looks through, its eye must stay out of every object and
// farther from it than the near plane reaches, or a viewer sees the inside
// of the object or a wall of its colour. Runs after the mesh files are
// read, since an object's bounds are its mesh's extent placed in the world.

#include "check/scene_context.h"

// How often the paths are sampled, in steps a second of show time.
inline constexpr double kCameraSamplesPerSecond = 20.0;

// Warns, at the camera's Position automation (or its actor element when
// nothing moves it), of each span of show time in which its eye is inside
// an object's bounds or nearer to them than the near plane reaches.
void CheckCameraPaths(SceneContext& context);
