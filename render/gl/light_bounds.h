#pragma once
// Where on the screen a light can add anything: the pixels whose surfaces
// lie within its cutoff sphere. The lighting pass draws a light only inside
// the sphere's screen rectangle, and only over surfaces nearer than the
// sphere's far side; everything else is beyond the light's reach.

#include "core/math.h"

struct LightBounds {
    bool visible = false;  // false: no pixel of the picture can be lit
    // The scissor rectangle in framebuffer pixels, origin at the bottom left.
    int x = 0;
    int y = 0;
    int width = 0;
    int height = 0;
    // The window depth (0 near, 1 far) of the sphere's far side: surfaces at
    // this depth or beyond are out of reach.
    float farDepth = 1.0f;
};

// The bounds of a sphere given in world space, seen through `view` and a
// left-handed perspective `projection` whose depth runs 0 to 1, on a picture
// of width x height pixels.
LightBounds ComputeLightBounds(const Vec3& centre, float radius, const Matrix4& view, const Matrix4& projection,
                               unsigned width, unsigned height);

// The bounds that hold both: the smallest rectangle around both rectangles,
// and the farther far side. An invisible one adds nothing.
LightBounds UniteLightBounds(const LightBounds& a, const LightBounds& b);
