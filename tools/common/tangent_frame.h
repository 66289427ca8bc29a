#pragma once
// Tangent frames: the normal, the direction in which the texture's u grows
// (tangent) and the one in which v grows (binormal), made orthonormal.

#include "tools/common/mesh_vertex.h"

// Where u and v grow across one triangle: the solution of
// edge = tangent * du + binormal * dv for its two edges. Both zero when the
// triangle's texture coordinates are degenerate (collinear).
struct UvDirections {
    Float3 tangent;
    Float3 binormal;
};
UvDirections TriangleUvDirections(const MeshVertex& a, const MeshVertex& b, const MeshVertex& c);

// A unit vector perpendicular to the given unit vector.
Float3 AnyPerpendicular(Float3 unit);

// Makes the vertex's frame orthonormal. The normal is normalised (the
// fallback normal is used when it is zero or not finite); the tangent loses
// its component along the normal (any perpendicular direction when nothing is
// left); the binormal becomes normal x tangent or its opposite, whichever
// lies on the side of the binormal given, so mirrored texture mappings keep
// their orientation.
void OrthonormaliseFrame(MeshVertex& vertex, Float3 fallbackNormal);
