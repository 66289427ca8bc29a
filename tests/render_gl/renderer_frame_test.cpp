// The deferred frame on a real context, read back and checked pixel by pixel.

#include <cstdlib>
#include <numbers>

#include "tests/render_gl/gl_fixture.h"

namespace {

constexpr float kPi = std::numbers::pi_v<float>;

using FrameTest = GlFixture;

struct InkRows {
    int top = -1;
    int bottom = -1;
    int count = 0;
};

// The rows with ink between columns x0 and x1: the first, the last, how many.
template <typename IsInk>
InkRows RowsWithInk(const Frame& frame, int x0, int x1, IsInk isInk)
{
    InkRows rows;
    for (int y = 0; y < frame.height; ++y) {
        for (int x = x0; x < x1; ++x) {
            if (isInk(frame.At(x, y))) {
                rows.top = rows.top < 0 ? y : rows.top;
                rows.bottom = y;
                ++rows.count;
                break;
            }
        }
    }
    return rows;
}

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
}

TEST_F(FrameTest, UpIsUpOnScreenAndATexturesFirstRowIsItsTop)
{
    ASSERT_EQ(StartRenderer(), 0);
    // Top row red, bottom row blue.
    MaterialFromRows("stripes", 2, 2, {255, 0, 0, 255, 0, 0, 0, 0, 255, 0, 0, 255});
    AddObject(Square(), "stripes", Vec3{0, 0, 3}, Vec3{2, 2, 2});
    AddLight(Vec3{0, 0, 0.5f});
    LookFromOrigin();
    const Frame frame = Render();

    const Pixel upper = frame.At(kWidth / 2, kHeight / 2 - 15);
    const Pixel lower = frame.At(kWidth / 2, kHeight / 2 + 15);
    EXPECT_GT(upper.r, upper.b + 30) << "top of the square should be red";
    EXPECT_GT(lower.b, lower.r + 30) << "bottom of the square should be blue";
}

TEST_F(FrameTest, NoLightLeavesTheLitImageBlack)
{
    ASSERT_EQ(StartRenderer(), 0);
    SolidMaterial("grey", 200, 200, 200);
    AddObject(Square(), "grey", Vec3{0, 0, 4}, Vec3{6, 6, 6});
    LookFromOrigin();
    const Frame dark = Render();
    EXPECT_EQ(dark.MeanSum(0, 0, kWidth, kHeight), 0.0);

    AddLight(Vec3{-1, 0, 2}, Vec3{0.4f, 0.4f, 0.4f});
    AddLight(Vec3{1, 0, 2}, Vec3{0.4f, 0.4f, 0.4f});
    EXPECT_GT(Render().MeanSum(kWidth / 2 - 5, kHeight / 2 - 5, kWidth / 2 + 5, kHeight / 2 + 5), 10.0);

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

TEST_F(FrameTest, AnInstanceDrawsTheNewestMaterialOfItsNameAsMaterialsComeAndGo)
{
    ASSERT_EQ(StartRenderer(), 0);
    AddObject(Cube(), "paint", Vec3{0, 0, 3}, Vec3{1.2f, 1.2f, 1.2f}, Vec3{kPi / 4, 0, 0});
    AddLight(Vec3{2.5f, 0.5f, 1.5f});
    LookFromOrigin();
    const auto centre = [this] { return Render().At(kWidth / 2 + 10, kHeight / 2); };
    const Pixel white = centre();  // no material yet: the frame's white
    EXPECT_GT(white.Sum(), 60);
    EXPECT_LT(std::abs(white.r - white.b), 20);

    Material* red = SolidMaterial("paint", 220, 40, 30);
    Pixel shown = centre();
    EXPECT_GT(shown.r, shown.b + 30);
    Material* blue = SolidMaterial("paint", 30, 40, 220);
    shown = centre();
    EXPECT_GT(shown.b, shown.r + 30);

    // Released, the newest gives way to the older of the same name, then to none.
    EXPECT_EQ(renderer->ReleaseMaterial(blue), 0);
    shown = centre();
    EXPECT_GT(shown.r, shown.b + 30);
    EXPECT_EQ(renderer->ReleaseMaterial(red), 0);
    shown = centre();
    EXPECT_LT(std::abs(shown.r - shown.b), 20);
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
    EXPECT_EQ((std::pair{renderer->RemoveLineSet(&curve), renderer->RemoveLineSet(&curve)}), std::pair(0, -1));
    EXPECT_EQ(Render().MeanSum(0, 0, kWidth, kHeight), 0.0);
    renderer->RemoveLineSet(&empty);
}

TEST_F(FrameTest, TextIsDrawnAtItsPositionInItsFontAndColour)
{
    ASSERT_EQ(StartRenderer(320, 200), 0);
    char buffer[16] = "Hg";
    TextInstance big{buffer, 1, 20, 30, 0xFFFFFFFFu};
    TextInstance small{"Hg", 0, 200, 150, 0xFFFF0000u};
    ASSERT_EQ(std::vector<int>({renderer->AddTextInstance(&big), renderer->AddTextInstance(&small),
                                renderer->AddTextInstance(nullptr)}),
              std::vector<int>({0, 0, -1}));
    const Frame frame = Render();

    const InkRows bigInk = RowsWithInk(frame, 0, 180, [](Pixel p) { return p.Sum() > 300; });
    EXPECT_GE(bigInk.top, 30);                  // anchored at its top-left
    EXPECT_GE(bigInk.bottom - bigInk.top, 40);  // an "H" over a "g" spans most of a 64-pixel cell
    EXPECT_LE(bigInk.bottom, 30 + 70);
    const InkRows smallInk = RowsWithInk(frame, 190, 320, [](Pixel p) { return p.r > 100 && p.g < 60; });
    EXPECT_GE(smallInk.top, 150);
    EXPECT_LE(smallInk.bottom - smallInk.top, 20);
    EXPECT_GE(smallInk.bottom - smallInk.top, 8);

    // Rewriting the buffer changes the next frame without re-registering.
    buffer[0] = '\0';
    const Frame after = Render();
    EXPECT_EQ(after.MeanSum(0, 0, 180, 120), 0.0);
    EXPECT_EQ((std::pair{renderer->RemoveTextInstance(&big), renderer->RemoveTextInstance(&big)}), std::pair(0, -1));
    renderer->RemoveTextInstance(&small);
}

// A window of another shape than the layout: the picture keeps the layout's
// shape between black bars, and texts placed in layout units scale with it.
TEST_F(FrameTest, APictureOfAnotherShapeGetsBarsAndItsTextsScaleWithIt)
{
    // 160 x 120: a 160 x 90 picture, 15 rows of bar above and below.
    ASSERT_EQ(StartRenderer(kWidth, kHeight, 320, 180), 0);
    EXPECT_EQ(renderer->Picture().y, 15u);
    SolidMaterial("white", 255, 255, 255);
    AddObject(Square(), "white", Vec3{0, 0, 2}, Vec3{20, 20, 20});
    AddLight(Vec3{0, 0, 1});
    TextInstance words{"HHHH", 1, 0, 0, 0xFFFF0000u};  // 64 layout units high: 32 pixels
    renderer->AddTextInstance(&words);
    LookFromOrigin();
    const Frame frame = Render();
    EXPECT_EQ(frame.MeanSum(0, 0, kWidth, 15), 0.0);
    EXPECT_EQ(frame.MeanSum(0, 105, kWidth, kHeight), 0.0);
    EXPECT_GT(frame.MeanSum(0, 60, kWidth, 100), 100.0);
    const InkRows text = RowsWithInk(frame, 0, 60, [](Pixel p) { return p.r > 150 && p.g < 100; });
    EXPECT_GE(text.top, 15);    // at the picture's top, below the bar
    EXPECT_GE(text.count, 12);  // an "H" at half its 64-pixel cell
    EXPECT_LE(text.count, 32);
    renderer->RemoveTextInstance(&words);

    // Console lines carry messages to be read: they keep a legible size
    // where the other texts shrink, and a line too long for the picture
    // goes on in the row below.
    const std::string message = "HHH HHH HHH HHH HHH HHH HHH HHH HHH HHH";
    renderer->SetConsoleLine(0, message.c_str(), static_cast<unsigned>(message.size()), 0xFF00FF00);
    const Frame console = Render();
    const auto green = [](Pixel p) { return p.g > 150 && p.r < 120 && p.b < 120; };
    const InkRows first = RowsWithInk(console, 0, 40, green);
    EXPECT_GE(first.top, 15);
    EXPECT_GE(first.count, 2 * 8);  // "H"s at least 8 pixels high, on two rows at least
    const InkRows right = RowsWithInk(console, kWidth - 3, kWidth, green);
    EXPECT_EQ(right.count, 0);  // broken before the picture's right edge
}

// Before a show begins, frames show the texts over black and nothing of the
// scene that is being loaded.
TEST_F(FrameTest, WithoutTheSceneOnlyTheTextsAreDrawn)
{
    ASSERT_EQ(StartRenderer(), 0);
    SolidMaterial("white", 255, 255, 255);
    AddObject(Square(), "white", Vec3{0, 0, 2}, Vec3{20, 20, 20});
    AddLight(Vec3{0, 0, 1});
    TextInstance words{"HHHH", 0, 0, 0, 0xFFFF0000u};
    renderer->AddTextInstance(&words);
    LookFromOrigin();
    EXPECT_GT(Render().MeanSum(0, 60, kWidth, kHeight), 100.0);
    renderer->SetSceneShown(false);
    const Frame hidden = Render();
    EXPECT_EQ(hidden.MeanSum(0, 30, kWidth, kHeight), 0.0);
    EXPECT_GT(RowsWithInk(hidden, 0, kWidth, [](Pixel p) { return p.r > 150 && p.g < 100; }).count, 5);
    renderer->SetSceneShown(true);
    EXPECT_GT(Render().MeanSum(0, 60, kWidth, kHeight), 100.0);
    renderer->RemoveTextInstance(&words);
}

// Full screen on a screen of another size: the picture is drawn at the size
// asked for and shown scaled to fit the screen, between black bars.
TEST_F(FrameTest, APictureOnAScreenOfAnotherSizeIsScaledToFitIt)
{
    // A 160 x 90 picture on a 160 x 120 screen: shown 160 x 90 with 15 rows
    // of bar; asked for at 80 x 45, it is drawn that size and scaled up.
    ASSERT_EQ(StartRenderer(kWidth, kHeight, 320, 180, 80, 45), 0);
    const PictureLayout& picture = renderer->Picture();
    EXPECT_EQ(std::vector<unsigned>({picture.width, picture.height, picture.shownWidth, picture.shownHeight, picture.y}),
              std::vector<unsigned>({80, 45, 160, 90, 15}));
    SolidMaterial("white", 255, 255, 255);
    AddObject(Square(), "white", Vec3{0, 0, 2}, Vec3{20, 20, 20});
    AddLight(Vec3{0, 0, 1});
    LookFromOrigin();
    const Frame frame = Render();
    EXPECT_EQ(frame.MeanSum(0, 0, kWidth, 15), 0.0);
    EXPECT_EQ(frame.MeanSum(0, 105, kWidth, kHeight), 0.0);
    // Lit from edge to edge of the screen's width, not only the drawn 80 columns.
    EXPECT_GT(frame.MeanSum(0, 55, 10, 65), 30.0);
    EXPECT_GT(frame.MeanSum(150, 55, kWidth, 65), 30.0);
}

TEST_F(FrameTest, ALine3DIsDrawnThroughTheCamera)
{
    ASSERT_EQ(StartRenderer(), 0);
    LookFromOrigin();
    renderer->RenderFrame(16.0f);
    // Across the view, 3 units ahead, in red: the middle row of the screen.
    renderer->DrawLine3D(-1.0f, 0.0f, 3.0f, 1.0f, 0.0f, 3.0f, 0xFFFF0000u);
    Frame frame;
    frame.width = kWidth;
    frame.height = kHeight;
    frame.rgba.resize(static_cast<size_t>(kWidth) * kHeight * 4);
    glReadPixels(0, 0, kWidth, kHeight, GL_RGBA, GL_UNSIGNED_BYTE, frame.rgba.data());
    const InkRows red = RowsWithInk(frame, 0, kWidth, [](Pixel p) { return p.r > 200 && p.g < 50; });
    EXPECT_GE(red.count, 1);
    EXPECT_LE(red.count, 2);
    EXPECT_NEAR(red.top, kHeight / 2, 1);
}
