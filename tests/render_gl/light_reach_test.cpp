// What limits the work of the lighting and shadow passes: the screen
// rectangle and depth of a light's cutoff sphere, the signature that says
// when a light's shadow cube map must be drawn again, and the frames that
// rely on both.

#include <algorithm>
#include <cmath>
#include <numbers>
#include <vector>

#include "render/gl/light_bounds.h"
#include "render/gl/pass_culling.h"
#include "render/gl/shadow_signature.h"
#include "tests/render_gl/gl_fixture.h"

namespace {

constexpr unsigned kPictureWidth = 320;
constexpr unsigned kPictureHeight = 180;

struct Camera {
    Matrix4 view;
    Matrix4 projection;
};

// At the origin looking along +z, as the renderer's projection.
Camera OriginCamera()
{
    Camera camera;
    MatrixIdentity(&camera.view);
    MatrixPerspectiveFovLH(&camera.projection, 1.2217305f, 16.0f / 9.0f, 0.05f, 30.0f);
    return camera;
}

// Every point of a grid over the sphere's surface lands inside the bounds'
// rectangle, no farther than their far depth.
void ExpectSphereInside(const LightBounds& bounds, Vec3 centre, float radius, const Camera& camera)
{
    ASSERT_TRUE(bounds.visible);
    Matrix4 viewProjection;
    MatrixMultiply(&viewProjection, &camera.view, &camera.projection);
    for (int i = 0; i <= 24; ++i) {
        for (int j = 0; j < 48; ++j) {
            const float theta = std::numbers::pi_v<float> * static_cast<float>(i) / 24.0f;
            const float phi = std::numbers::pi_v<float> * static_cast<float>(j) / 24.0f;
            const Vec3 point{centre.x + radius * std::sin(theta) * std::cos(phi),
                             centre.y + radius * std::cos(theta), centre.z + radius * std::sin(theta) * std::sin(phi)};
            // The projection's w is the view depth.
            const float w = TransformCoord(point, camera.view).z;
            const Vec3 clip = TransformCoord(point, viewProjection);
            const Vec3 ndc{clip.x / w, clip.y / w, clip.z / w};
            if (w <= 0.05f || ndc.z > 1.0f || std::fabs(ndc.x) > 1.0f || std::fabs(ndc.y) > 1.0f) {
                continue;  // off the picture
            }
            const float x = (ndc.x * 0.5f + 0.5f) * kPictureWidth;
            const float y = (ndc.y * 0.5f + 0.5f) * kPictureHeight;
            EXPECT_GE(x, static_cast<float>(bounds.x));
            EXPECT_LE(x, static_cast<float>(bounds.x + bounds.width));
            EXPECT_GE(y, static_cast<float>(bounds.y));
            EXPECT_LE(y, static_cast<float>(bounds.y + bounds.height));
            EXPECT_LE(ndc.z, bounds.farDepth + 1e-6f);
        }
    }
}

TEST(LightBoundsTest, TheRectangleHoldsTheSphereAndLeavesOutWhatItCannotReach)
{
    const Camera camera = OriginCamera();
    const unsigned w = kPictureWidth;
    const unsigned h = kPictureHeight;

    // In front, off to one side: a part of the picture, holding the sphere.
    const LightBounds side = ComputeLightBounds(Vec3{3, 1, 8}, 1.5f, camera.view, camera.projection, w, h);
    ExpectSphereInside(side, Vec3{3, 1, 8}, 1.5f, camera);
    EXPECT_GT(side.x, static_cast<int>(w / 2));
    EXPECT_LT(side.width * side.height, static_cast<int>(w * h / 4));
    EXPECT_LT(side.farDepth, 1.0f);

    // Reaching past the far plane: every depth counts.
    const LightBounds deep = ComputeLightBounds(Vec3{0, 0, 20}, 12.0f, camera.view, camera.projection, w, h);
    ExpectSphereInside(deep, Vec3{0, 0, 20}, 12.0f, camera);
    EXPECT_EQ(deep.farDepth, 1.0f);

    // The camera inside the sphere: the whole picture.
    const LightBounds around = ComputeLightBounds(Vec3{0, 0, 1}, 4.0f, camera.view, camera.projection, w, h);
    EXPECT_TRUE(around.visible);
    EXPECT_EQ(around.width, static_cast<int>(w));
    EXPECT_EQ(around.height, static_cast<int>(h));

    // Beside the camera, reaching from behind it to before it: the part in
    // front of it, from the picture's edge; none of it when that part lies
    // beside the picture.
    const LightBounds beside = ComputeLightBounds(Vec3{6, 0, 0}, 5.0f, camera.view, camera.projection, w, h);
    ExpectSphereInside(beside, Vec3{6, 0, 0}, 5.0f, camera);
    EXPECT_EQ(beside.x + beside.width, static_cast<int>(w));
    EXPECT_GT(beside.x, static_cast<int>(w / 2));
    EXPECT_FALSE(ComputeLightBounds(Vec3{-70, 0, 0}, 20.0f, camera.view, camera.projection, w, h).visible);

    // Behind the camera, wholly beyond the far plane (30) or wholly beside
    // the picture: nothing to draw.
    EXPECT_FALSE(ComputeLightBounds(Vec3{0, 0, -5}, 2.0f, camera.view, camera.projection, w, h).visible);
    EXPECT_FALSE(ComputeLightBounds(Vec3{0, 0, 45}, 14.0f, camera.view, camera.projection, w, h).visible);
    EXPECT_TRUE(ComputeLightBounds(Vec3{0, 0, 45}, 16.0f, camera.view, camera.projection, w, h).visible);
    EXPECT_FALSE(ComputeLightBounds(Vec3{40, 0, 5}, 2.0f, camera.view, camera.projection, w, h).visible);

    // A turned and moved camera sees the same sphere where it now is.
    Camera turned = camera;
    Matrix4 rotation;
    Matrix4 translation;
    MatrixRotationYawPitchRoll(&rotation, 0.6f, 0.2f, 0.0f);
    MatrixTranslation(&translation, -1.0f, 0.5f, 2.0f);
    MatrixMultiply(&turned.view, &translation, &rotation);
    const LightBounds seen = ComputeLightBounds(Vec3{-2, 0, 9}, 2.0f, turned.view, turned.projection, w, h);
    ExpectSphereInside(seen, Vec3{-2, 0, 9}, 2.0f, turned);
}

// Two registered-looking instances of one mesh, without a GL context.
struct SignatureScene {
    GpuMesh mesh;
    Matrix4 near;
    Matrix4 far;
    RenderInstance a;
    RenderInstance b;
    std::list<RenderInstance*> instances{&a, &b};

    SignatureScene()
    {
        mesh.radius = 1.0f;
        mesh.vertexCount = 36;
        MatrixTranslation(&near, 0, 0, 5);
        MatrixTranslation(&far, 0, 0, 50);
        a.gpuMesh = &mesh;
        a.modelMatrix = &near;
        b.gpuMesh = &mesh;
        b.modelMatrix = &far;
    }
};

TEST(ShadowSignatureTest, ChangesWithTheLightAndWithWhatIsWithinItsReachOnly)
{
    SignatureScene scene;
    const Vec3 light{0, 0, 0};
    const uint64_t first = ShadowSignature(light, 10.0f, scene.instances);
    EXPECT_NE(first, 0u);
    EXPECT_EQ(ShadowSignature(light, 10.0f, scene.instances), first);

    // The far instance moves, out of reach: the cube map is still right.
    MatrixTranslation(&scene.far, 3, 0, 60);
    EXPECT_EQ(ShadowSignature(light, 10.0f, scene.instances), first);
    // ... and into reach: it is not.
    MatrixTranslation(&scene.far, 0, 0, 10.5f);
    const uint64_t entered = ShadowSignature(light, 10.0f, scene.instances);
    EXPECT_NE(entered, first);

    // The near instance turns, the mesh's vertices are rewritten, the light
    // moves or reaches farther: each one changes it.
    Matrix4 turned;
    MatrixRotationYawPitchRoll(&turned, 0.3f, 0, 0);
    turned.m[3][2] = 5;
    scene.near = turned;
    const uint64_t afterTurn = ShadowSignature(light, 10.0f, scene.instances);
    EXPECT_NE(afterTurn, entered);
    ++scene.mesh.revision;
    const uint64_t afterRewrite = ShadowSignature(light, 10.0f, scene.instances);
    EXPECT_NE(afterRewrite, afterTurn);
    EXPECT_NE(ShadowSignature(Vec3{0, 1, 0}, 10.0f, scene.instances), afterRewrite);
    EXPECT_NE(ShadowSignature(light, 11.0f, scene.instances), afterRewrite);

    // An instance leaving the list changes it too.
    scene.instances.pop_front();
    EXPECT_NE(ShadowSignature(light, 10.0f, scene.instances), afterRewrite);

    // The shadow faces are drawn with what the signature counts, and with
    // what cannot be placed, for the pass to report.
    const std::vector<RenderInstance*> both = {&scene.b, nullptr};
    EXPECT_EQ(WithinLightReach(both, light, 10.0f), both);
    MatrixTranslation(&scene.far, 3, 0, 60);
    EXPECT_EQ(WithinLightReach(both, light, 10.0f), std::vector<RenderInstance*>{nullptr});
}

using LightReachTest = GlFixture;

// The shadow of an occluder goes where the occluder goes, and comes back
// when it does; a frame with nothing changed looks like the one before. A
// light out of the picture keeps its shadow faces while the occluder moves,
// and has them drawn anew once it is in the picture again.
TEST_F(LightReachTest, ShadowsFollowAMovingOccluderAndStillFramesRepeat)
{
    ASSERT_EQ(StartRenderer(), 0);
    SolidMaterial("grey", 200, 200, 200);
    Mesh* cube = Cube();
    AddObject(cube, "grey", Vec3{0, 0, 8}, Vec3{14, 10, 0.2f});  // a wall
    SceneObject* occluder = AddObject(cube, "grey", Vec3{1.5f, 0, 5.5f}, Vec3{0.8f, 0.8f, 0.8f});
    AddLight(Vec3{3, 0, 3});
    LookFromOrigin();
    const auto centre = [](const Frame& f) { return f.MeanSum(77, 57, 83, 63); };
    const auto left = [](const Frame& f) { return f.MeanSum(30, 57, 36, 63); };

    const Frame shadowed = Render();
    EXPECT_LT(centre(shadowed), left(shadowed) * 0.5);
    const Frame again = Render();
    EXPECT_EQ(again.rgba, shadowed.rgba);

    occluder->position = Vec3{1.5f, 3, 5.5f};  // out of the light's way, still within its reach
    const Frame open = Render();
    EXPECT_GT(centre(open), left(open));
    occluder->position = Vec3{1.5f, 0, 5.5f};
    EXPECT_EQ(Render().rgba, shadowed.rgba);

    // From far behind, looking away: the light reaches nothing in the picture.
    Matrix4 turned;
    renderer->SetCameraPosition(Vec3{0, 0, 60});
    renderer->ApplyCameraRotation(MatrixRotationYawPitchRoll(&turned, std::numbers::pi_v<float>, 0, 0));
    const Frame away = Render();
    occluder->position = Vec3{1.5f, 3, 5.5f};
    EXPECT_EQ(Render().rgba, away.rgba);
    LookFromOrigin();
    EXPECT_EQ(Render().rgba, open.rgba);
}

// Light reaches as far as its cutoff; where it cannot reach, and on the
// background, the frame is exactly as dark as with no light.
TEST_F(LightReachTest, ALightChangesNoPixelBeyondItsCutoff)
{
    ASSERT_EQ(StartRenderer(), 0);
    SolidMaterial("grey", 200, 200, 200);
    AddObject(Cube(), "grey", Vec3{-2, 0, 8}, Vec3{4, 10, 0.2f});  // a wall on the left
    LookFromOrigin();
    const Frame dark = Render();
    AddLight(Vec3{-2, 0, 6}, Vec3{1, 1, 1}, 3.0f);
    const Frame lit = Render();
    EXPECT_GT(lit.MeanSum(40, 55, 50, 65), dark.MeanSum(40, 55, 50, 65) + 30);
    EXPECT_EQ(lit.MeanSum(120, 0, kWidth, kHeight), dark.MeanSum(120, 0, kWidth, kHeight));
    EXPECT_EQ(lit.MeanSum(0, 0, kWidth, 8), dark.MeanSum(0, 0, kWidth, 8));
}

// One lighting quad draws up to eight lights; a ninth is drawn by a second
// quad that adds to what the first gave, where the two reach the same wall.
TEST_F(LightReachTest, LightsBeyondOneQuadAddToTheFirstQuadsLight)
{
    ASSERT_EQ(StartRenderer(), 0);
    SolidMaterial("grey", 200, 200, 200);
    AddObject(Cube(), "grey", Vec3{0, 0, 8}, Vec3{14, 10, 0.2f});  // a wall
    std::vector<SceneLight*> firstEight;
    for (int i = 0; i < 8; ++i) {
        firstEight.push_back(AddLight(Vec3{2, 0, 6}, Vec3{0.08f, 0.08f, 0.08f}, 4.0f));
    }
    SceneLight* ninth = AddLight(Vec3{0, 0, 6}, Vec3{0.3f, 0.3f, 0.3f}, 4.0f);
    LookFromOrigin();
    const auto overlap = [](const Frame& f) { return f.MeanSum(86, 55, 94, 65); };
    const auto farLeft = [](const Frame& f) { return f.MeanSum(0, 55, 20, 65); };

    const Frame all = Render();
    ninth->colour = Vec3{0, 0, 0};
    const Frame eight = Render();
    ninth->colour = Vec3{0.3f, 0.3f, 0.3f};
    for (SceneLight* light : firstEight) {
        light->colour = Vec3{0, 0, 0};
    }
    const Frame ninthAlone = Render();
    ASSERT_GT(overlap(eight), 20.0);
    ASSERT_GT(overlap(ninthAlone), 20.0);
    EXPECT_NEAR(overlap(all), overlap(eight) + overlap(ninthAlone), 6.0);
    EXPECT_EQ(farLeft(all), farLeft(eight));
}

// Shadow maps are lent to the lights in view, sixteen at most: beyond them a
// light in view casts no shadow (said once), and one out of view or of no
// reach holds none; once in view again, a light takes the map of the light
// out of view longest.
TEST_F(LightReachTest, LightsInViewShareABoundedNumberOfShadowMaps)
{
    ASSERT_EQ(StartRenderer(), 0);
    SolidMaterial("grey", 200, 200, 200);
    AddObject(Cube(), "grey", Vec3{0, 0, 8}, Vec3{14, 10, 0.2f});  // a wall
    std::vector<SceneLight*> inView;
    for (int i = 0; i < 20; ++i) {
        inView.push_back(AddLight(Vec3{static_cast<float>(i % 5) - 2, static_cast<float>(i / 5) - 1.5f, 6},
                                  Vec3{0.05f, 0.05f, 0.05f}, 3.0f));
    }
    SceneLight* behind = AddLight(Vec3{0, 0, -20}, Vec3{1, 1, 1}, 3.0f);
    SceneLight* noReach = AddLight(Vec3{0, 0, 6}, Vec3{1, 1, 1}, -3.0f);
    LookFromOrigin();
    StderrCapture capture;
    const Frame crowded = Render();
    Render();
    EXPECT_EQ(capture.Lines(), std::vector<std::string>{"More than 16 shadow-casting lights in view: the others cast "
                                                        "no shadow"});
    EXPECT_EQ(renderer->ShadowMapCount(), SceneResources::kMostShadowMaps);
    EXPECT_EQ(std::count_if(inView.begin(), inView.end(), [](SceneLight* l) { return l->record.shadowMap; }), 16);
    EXPECT_EQ(behind->record.shadowMap, nullptr);
    EXPECT_EQ(noReach->record.shadowMap, nullptr);
    EXPECT_GT(crowded.MeanSum(20, 20, 140, 100), 20.0);  // every light lights, shadows or not

    // The first eight go out of view; the four without a map take theirs.
    for (int i = 0; i < 8; ++i) {
        inView[i]->position = Vec3{0, 0, -20};
    }
    Render();
    EXPECT_EQ(renderer->ShadowMapCount(), SceneResources::kMostShadowMaps);
    EXPECT_TRUE(std::all_of(inView.begin() + 8, inView.end(), [](SceneLight* l) { return l->record.shadowMap; }));
}

}  // namespace
