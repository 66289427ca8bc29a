#pragma once
// The procedural shapes. All of them share these conventions:
// - normals point out of the solid, and each triangle's corners (a, b, c)
//   turn so that (b - a) x (c - a) points the same way;
// - on vertical faces v grows downwards (v = 0 at the top, the texture's
//   first row), and tangent x binormal points along the normal, so that in
//   the player's left-handed space pictures appear unmirrored;
// - shapes that stand on the ground (box, cylinder) have their base at y = 0;
//   the others are centred on the origin.

#include "tools/meshgen/indexed_mesh.h"

// A flat square in the XZ plane facing +y, split into segments x segments
// cells; the texture repeats uvRepeat times across it.
IndexedMesh MakeGroundPlane(float size, int segments, float uvRepeat);

// A box of the given width (x), height (y) and depth (z); the texture
// repeats uvPerUnit times per unit of length on every face.
IndexedMesh MakeBox(Float3 size, float uvPerUnit);

// A capped cylinder round the y axis with `segments` sides, smooth shaded.
IndexedMesh MakeCylinder(float radius, float height, int segments, float uvPerUnit);

struct TorusKnotShape {
    float radius = 2.0f;       // of the torus the knot winds round
    float tubeRadius = 0.35f;  // of the tube drawn along the knot
    int turns = 2;             // p: times round the torus's axis
    int twists = 3;            // q: times through the torus's hole
    int segments = 256;        // along the knot
    int sides = 16;            // round the tube
    float uvRepeat = 16.0f;    // texture repeats along the knot
};
IndexedMesh MakeTorusKnot(const TorusKnotShape& shape);

// A sphere of segments columns and rings rows; u goes twice round the
// equator, v from the north pole (0) to the south pole (1).
IndexedMesh MakeUvSphere(float radius, int segments, int rings);

// A geodesic sphere (an icosahedron subdivided `subdivisions` times),
// flat shaded: every triangle has its own three vertices and its own normal,
// so that it can fly apart as a shard. Each face shows a disc of the texture.
IndexedMesh MakeFacetedSphere(float radius, int subdivisions);
