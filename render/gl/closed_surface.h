#pragma once
// Whether a mesh's triangles close around a volume, and which way they are
// wound seen from outside. Only the faces of such a surface that look at
// the camera can be seen from outside its bounds: its near side covers the
// rest, which the geometry pass may then leave out.

#include "render/render_records.h"

// +1: the triangles close around their volumes and each (a, b, c) has
// cross(b - a, c - a) pointing out of it; -1: every one points in; 0: the
// mesh has an open or shared edge, a flat part, parts wound both ways, or
// positions that are not numbers. Corners a rounding error apart (where a
// sphere's first and last slices meet) count as one; triangles whose
// corners meet draw nothing and are left out.
int ClosedSurfaceWinding(const Mesh& mesh);
