#include "tools/meshgen/shapes.h"
#include "tools/meshgen/surface_grid.h"

IndexedMesh MakeGroundPlane(float size, int segments, float uvRepeat)
{
    const float half = size * 0.5f;
    // Seen from above with +z ahead: u grows to the right (+x), v towards
    // the viewer (-z).
    const Surface ground = [=](float s, float t) {
        return SurfacePoint{{-half + s * size, 0.0f, half - t * size},
                            {0.0f, 1.0f, 0.0f},
                            {s * uvRepeat, t * uvRepeat}};
    };
    IndexedMesh mesh = SampleSurface(ground, segments, segments);
    ComputeTangentFrames(mesh);
    return mesh;
}
