#pragma once
// Which triangles of an instance the geometry pass may leave out: those
// facing away from the camera, when its mesh is a closed surface and the
// camera is outside the mesh's bounds by more than the near plane's reach.
// Every such triangle then lies behind one of the mesh's own that faces the
// camera, so the picture is the same with about half the triangles
// rasterised and shaded. Everything else is drawn two-sided.

#include "render/camera_lens.h"
#include "core/math.h"

enum class HiddenFaces { kNone, kClockwise, kCounterClockwise };  // as wound on the screen

// surfaceWinding as ClosedSurfaceWinding gives it; meshRadius holds every
// vertex around the mesh's origin; worldView takes the mesh into the
// camera's space.
HiddenFaces HiddenFacesOf(int surfaceWinding, float meshRadius, const Matrix4& worldView, float nearReach);
