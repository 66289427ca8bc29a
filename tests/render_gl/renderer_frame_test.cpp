// The deferred frame on a real context, read back and checked pixel by pixel.

#include <numbers>

#include "tests/render_gl/gl_fixture.h"

namespace {

constexpr float kPi = std::numbers::pi_v<float>;

using FrameTest = GlFixture;

}  // namespace

TEST_F(FrameTest, LitTexturedCubeIsBrighterOnTheSideFacingTheLight)
{
    ASSERT_EQ(StartRenderer(), 0);
    SolidMaterial("red", 220, 40, 30);
    // Turned by 45 degrees: two faces show, left and right of the centre.
    AddObject(Cube(), "red", Vec3{0, 0, 3}, Vec3{1.2f, 1.2f, 1.2f}, Vec3{kPi / 4, 0, 0});
    AddLight(Vec3{2.5f, 0.5f, 1.5f});
    LookFromOrigin();
    const Frame frame = Render();

    const Pixel centreRight = frame.At(kWidth / 2 + 10, kHeight / 2);
    const Pixel centreLeft = frame.At(kWidth / 2 - 10, kHeight / 2);
    EXPECT_GT(centreRight.Sum(), 60);
    EXPECT_GT(centreRight.r, centreRight.g + 20);  // the red picture shows
    EXPECT_GT(centreRight.Sum(), centreLeft.Sum() + 20);
    // Around the cube there is nothing: black.
    EXPECT_EQ(frame.At(2, 2).Sum(), 0);
    EXPECT_EQ(frame.At(kWidth - 3, kHeight - 3).Sum(), 0);
}

TEST_F(FrameTest, UpIsUpOnScreenAndATexturesFirstRowIsItsTop)
{
    ASSERT_EQ(StartRenderer(), 0);
    // Top row red, bottom row blue.
    MaterialFromRows("stripes", 2, 2, {255, 0, 0, 255, 0, 0, 0, 0, 255, 0, 0, 255});
    Mesh* square = Square();
    AddObject(square, "stripes", Vec3{0, 0, 3}, Vec3{2, 2, 2});
    // A small object above the view axis.
    SolidMaterial("white", 255, 255, 255);
    AddObject(Cube(), "white", Vec3{-1.5f, 1.2f, 3}, Vec3{0.3f, 0.3f, 0.3f});
    AddLight(Vec3{0, 0, 0.5f});
    LookFromOrigin();
    const Frame frame = Render();

    const Pixel upper = frame.At(kWidth / 2, kHeight / 2 - 15);
    const Pixel lower = frame.At(kWidth / 2, kHeight / 2 + 15);
    EXPECT_GT(upper.r, upper.b + 30) << "top of the square should be red";
    EXPECT_GT(lower.b, lower.r + 30) << "bottom of the square should be blue";
    // The small cube lands in the upper left quarter, not the lower.
    EXPECT_GT(frame.MeanSum(0, 0, kWidth / 2 - 30, kHeight / 2), 1.0);
    EXPECT_EQ(frame.MeanSum(0, kHeight / 2 + 30, kWidth / 2 - 30, kHeight), 0.0);
}

TEST_F(FrameTest, AnObjectBetweenLightAndWallCastsAShadow)
{
    ASSERT_EQ(StartRenderer(), 0);
    SolidMaterial("grey", 200, 200, 200);
    Mesh* cube = Cube();
    SceneObject* wall = AddObject(cube, "grey", Vec3{0, 0, 8}, Vec3{14, 10, 0.2f});
    (void)wall;
    AddLight(Vec3{3, 0, 3});
    LookFromOrigin();
    const Frame unshadowed = Render();
    // The wall's centre is nearer the light than a point to its left.
    const double centreLit = unshadowed.MeanSum(kWidth / 2 - 3, kHeight / 2 - 3, kWidth / 2 + 3, kHeight / 2 + 3);
    const double leftLit = unshadowed.MeanSum(30, kHeight / 2 - 3, 36, kHeight / 2 + 3);
    EXPECT_GT(centreLit, leftLit);

    // An occluder on the line from the light to the wall's centre.
    AddObject(cube, "grey", Vec3{1.5f, 0, 5.5f}, Vec3{0.8f, 0.8f, 0.8f});
    const Frame shadowed = Render();
    const double centreShadowed = shadowed.MeanSum(kWidth / 2 - 3, kHeight / 2 - 3, kWidth / 2 + 3, kHeight / 2 + 3);
    const double leftStill = shadowed.MeanSum(30, kHeight / 2 - 3, 36, kHeight / 2 + 3);
    EXPECT_LT(centreShadowed, leftStill * 0.5);
    EXPECT_NEAR(leftStill, leftLit, 3.0);
}

TEST_F(FrameTest, LightsAddUpAndNoLightLeavesTheLitImageBlack)
{
    ASSERT_EQ(StartRenderer(), 0);
    SolidMaterial("grey", 200, 200, 200);
    AddObject(Square(), "grey", Vec3{0, 0, 4}, Vec3{6, 6, 6});
    LookFromOrigin();
    const Frame dark = Render();
    EXPECT_EQ(dark.MeanSum(0, 0, kWidth, kHeight), 0.0);

    AddLight(Vec3{-1, 0, 2}, Vec3{0.4f, 0.4f, 0.4f});
    const double one = Render().MeanSum(kWidth / 2 - 5, kHeight / 2 - 5, kWidth / 2 + 5, kHeight / 2 + 5);
    AddLight(Vec3{1, 0, 2}, Vec3{0.4f, 0.4f, 0.4f});
    const double two = Render().MeanSum(kWidth / 2 - 5, kHeight / 2 - 5, kWidth / 2 + 5, kHeight / 2 + 5);
    EXPECT_GT(one, 10.0);
    EXPECT_NEAR(two, 2 * one, 0.25 * one);

    // Taking the lights away again: the composition still runs, onto black.
    renderer->RemoveLightById(0);
    renderer->RemoveLightById(1);
    EXPECT_EQ(Render().MeanSum(0, 0, kWidth, kHeight), 0.0);
    // Taken off by id, each light keeps its shadow map until it is added
    // again (the renderer makes it a new one) or released.
    for (auto& light : lights) {
        EXPECT_NE(light->record.shadowMap, nullptr);
        renderer->AddLight(&light->record);
    }
}

TEST_F(FrameTest, MissingMaterialKeepsThePreviousTexturesAndDirtyVerticesAreUploaded)
{
    ASSERT_EQ(StartRenderer(), 0);
    SolidMaterial("green", 30, 220, 30);
    Mesh* cube = Cube();
    // Drawn newest first: the green one, then the one without a material.
    SceneObject* orphan = AddObject(cube, "no-such-material", Vec3{1, 0, 4}, Vec3{1, 1, 1});
    AddObject(cube, "green", Vec3{-1, 0, 4}, Vec3{1, 1, 1});
    AddLight(Vec3{0, 0, 1});
    LookFromOrigin();
    Frame frame = Render();
    const Pixel right = frame.At(kWidth / 2 + 25, kHeight / 2);
    EXPECT_GT(right.g, right.r + 30);

    // Moving the mesh's vertices takes effect once the instance says so.
    for (uint32_t i = 0; i < cube->vertexCount; ++i) {
        cube->positions[3 * i + 1] += 5.0f;  // far above the view
    }
    frame = Render();
    EXPECT_GT(frame.At(kWidth / 2 + 25, kHeight / 2).Sum(), 0);
    orphan->dirty = 1;
    frame = Render();
    EXPECT_EQ(orphan->dirty, 0);
    EXPECT_EQ(frame.At(kWidth / 2 + 25, kHeight / 2).Sum(), 0);
}

TEST_F(FrameTest, LineSetsDrawPointsAndNullOnesAreSkipped)
{
    ASSERT_EQ(StartRenderer(), 0);
    LookFromOrigin();
    std::vector<float> points;
    for (int i = -20; i <= 20; ++i) {
        points.insert(points.end(), {static_cast<float>(i) * 0.05f, 0.0f, 3.0f});
    }
    LineSet empty;  // no points yet
    LineSet curve;
    curve.points = points.data();
    curve.count = static_cast<uint32_t>(points.size() / 3);
    renderer->AddLineSet(&empty);
    EXPECT_EQ(Render().MeanSum(0, 0, kWidth, kHeight), 0.0);
    renderer->AddLineSet(&curve);
    const Frame frame = Render();
    // Glowing points along the middle row, without any light.
    EXPECT_GT(frame.At(kWidth / 2, kHeight / 2).b, 100);
    EXPECT_EQ(frame.At(kWidth / 2, kHeight / 2 - 20).Sum(), 0);
    EXPECT_EQ(renderer->RemoveLineSet(&curve), 0);
    EXPECT_EQ(renderer->RemoveLineSet(&curve), -1);
    EXPECT_EQ(Render().MeanSum(0, 0, kWidth, kHeight), 0.0);
    renderer->RemoveLineSet(&empty);
}

TEST_F(FrameTest, TextIsDrawnAtItsPositionInItsFontAndColour)
{
    ASSERT_EQ(StartRenderer(320, 200), 0);
    char buffer[16] = "Hg";
    TextInstance big{buffer, 1, 20, 30, 0xFFFFFFFFu};
    TextInstance small{"Hg", 0, 200, 150, 0xFFFF0000u};
    ASSERT_EQ(renderer->AddTextInstance(&big), 0);
    ASSERT_EQ(renderer->AddTextInstance(&small), 0);
    EXPECT_EQ(renderer->AddTextInstance(nullptr), -1);
    const Frame frame = Render();

    auto rowsCovered = [&](int x0, int x1, auto isInk) {
        int top = -1;
        int bottom = -1;
        for (int y = 0; y < frame.height; ++y) {
            for (int x = x0; x < x1; ++x) {
                if (isInk(frame.At(x, y))) {
                    top = top < 0 ? y : top;
                    bottom = y;
                    break;
                }
            }
        }
        return std::pair{top, bottom};
    };
    const auto [bigTop, bigBottom] = rowsCovered(0, 180, [](Pixel p) { return p.Sum() > 300; });
    EXPECT_GE(bigTop, 30);                    // anchored at its top-left
    EXPECT_GE(bigBottom - bigTop, 40);        // an "H" over a "g" spans most of a 64-pixel cell
    EXPECT_LE(bigBottom, 30 + 70);
    const auto [smallTop, smallBottom] = rowsCovered(190, 320, [](Pixel p) { return p.r > 100 && p.g < 60; });
    EXPECT_GE(smallTop, 150);
    EXPECT_LE(smallBottom - smallTop, 20);
    EXPECT_GE(smallBottom - smallTop, 8);

    // Rewriting the buffer changes the next frame without re-registering.
    buffer[0] = '\0';
    const Frame after = Render();
    EXPECT_EQ(after.MeanSum(0, 0, 180, 120), 0.0);
    EXPECT_EQ(renderer->RemoveTextInstance(&big), 0);
    EXPECT_EQ(renderer->RemoveTextInstance(&big), -1);
    renderer->RemoveTextInstance(&small);
}

// A window of another shape than the layout: the picture keeps the layout's
// shape between black bars, and texts placed in layout units scale with it.
TEST_F(FrameTest, APictureOfAnotherShapeGetsBarsAndItsTextsScaleWithIt)
{
    window = std::make_unique<Window>();
    window->width = kWidth;
    window->height = kHeight;  // 160 x 120: a 160 x 90 picture, 15 rows of bar above and below
    window->handle = CreateHiddenGlWindow("test", kWidth, kHeight);
    renderer = std::make_unique<RendererGL>();
    renderer->SetLayoutSize(320, 180);
    ASSERT_EQ(renderer->Init(window.get()), 0);
    EXPECT_EQ(renderer->Picture().y, 15u);
    SolidMaterial("white", 255, 255, 255);
    AddObject(Square(), "white", Vec3{0, 0, 2}, Vec3{20, 20, 20});
    AddLight(Vec3{0, 0, 1});
    TextInstance text{"HHHH", 1, 0, 0, 0xFFFF0000u};  // 64 layout units high: 32 pixels
    renderer->AddTextInstance(&text);
    LookFromOrigin();
    const Frame frame = Render();
    EXPECT_EQ(frame.MeanSum(0, 0, kWidth, 15), 0.0);
    EXPECT_EQ(frame.MeanSum(0, 105, kWidth, kHeight), 0.0);
    EXPECT_GT(frame.MeanSum(0, 60, kWidth, 100), 100.0);
    int firstRow = -1;
    int textRows = 0;
    for (int y = 0; y < kHeight; ++y) {
        for (int x = 0; x < 60; ++x) {
            if (frame.At(x, y).r > 150 && frame.At(x, y).g < 100) {
                firstRow = firstRow < 0 ? y : firstRow;
                ++textRows;
                break;
            }
        }
    }
    EXPECT_GE(firstRow, 15);  // at the picture's top, below the bar
    EXPECT_GE(textRows, 12);  // an "H" at half its 64-pixel cell
    EXPECT_LE(textRows, 32);
    renderer->RemoveTextInstance(&text);
}
