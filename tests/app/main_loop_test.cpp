#include <gtest/gtest.h>

#include <SDL.h>

#include <chrono>
#include <memory>
#include <cstdlib>
#include <thread>

#include "app/main_loop.h"
#include "app/loading_text.h"
#include "app/show.h"
#include "platform/window.h"
#include "render/null_renderer.h"
#include "tests/support/test_support.h"
#include "world/bass_bouncer.h"
#include "world/engine_camera.h"
#include "world/line_fx.h"
#include "world/world.h"

TEST(FreeCameraTest, MouseAndKeysSteerItPTogglesTheViewFromTheSceneCamerasPoseAndEscapeQuits)
{
    EngineCamera editor("EditorCam");
    EngineCamera scene("cam1");
    ShowState show;
    show.editorCamera = show.activeCamera = &editor;
    Window window;
    show.frameDeltaMs = 1000.0f;
    SteerFreeCamera(show, window, 100, -50);
    EXPECT_FLOAT_EQ(editor.Rotation.y, -0.1f);  // yaw by dx x -0.001
    EXPECT_FLOAT_EQ(editor.Rotation.x, 0.05f);  // pitch by dy x -0.001
    const Vec3 before = editor.Position;
    window.keyDown[kKeyW] = 1;
    SteerFreeCamera(show, window, 0, 0);
    EXPECT_NEAR(editor.Position.z - before.z, editor.GetDirection().z, 1e-5f);
    // A scene camera took over; 'p' hands the view to the editor camera,
    // which sets out from the scene camera's pose: the picture stays.
    scene.Position = Vec3{1.0f, 2.0f, 3.0f};
    scene.Rotation = Vec3{0.3f, -0.7f, 0.0f};
    scene.Update(0.0f);
    show.SetSceneCamera(&scene);
    EXPECT_EQ(show.activeCamera, &scene);
    EXPECT_FALSE(HandleTypedChar(show, 'p'));
    EXPECT_TRUE(show.freeCameraMode);
    EXPECT_EQ(show.activeCamera, &editor);
    ExpectVec(editor.Position, 1.0f, 2.0f, 3.0f);
    const Vec3 seen = scene.GetDirection();
    ExpectVec(editor.GetDirection(), seen.x, seen.y, seen.z);
    const Matrix4 sceneOrientation = *scene.GetOrientation();
    const Matrix4 editorOrientation = *editor.GetOrientation();
    for (int i = 0; i < 16; ++i) {
        EXPECT_NEAR(editorOrientation.m[i / 4][i % 4], sceneOrientation.m[i / 4][i % 4], 1e-6f) << i;
    }
    // While it is on, scene cameras cannot take the view.
    EngineCamera later("cam2");
    show.SetSceneCamera(&later);
    EXPECT_EQ(show.activeCamera, &editor);
    // Before the music starts, turning it off keeps the editor camera.
    EXPECT_FALSE(HandleTypedChar(show, 'p'));
    EXPECT_FALSE(show.freeCameraMode);
    EXPECT_EQ(show.activeCamera, &editor);
    // While the show plays, the mouse and keys still steer it.
    show.musicStarted = true;
    EXPECT_FALSE(HandleTypedChar(show, 'p'));
    SteerFreeCamera(show, window, 300, 0);
    EXPECT_FLOAT_EQ(editor.Rotation.y, -0.7f - 0.3f);
    // Escape asks to quit; it is the caller that ends the loop.
    EXPECT_TRUE(HandleTypedChar(show, 0x1B));
    EXPECT_FALSE(show.quitRequested);
    EXPECT_FALSE(HandleTypedChar(show, 'q'));
}

TEST(LoadingTextTest, ALetterRollsUpOneCodeEvery20MsAndTheMessageReturns)
{
    std::srand(7);
    LoadingTextEffect effect;
    char buffer[kLoadingTextBytes] = {};
    for (int calls = 0; !effect.rolling && calls < 100; ++calls) {
        AnimateLoadingText(buffer, 16.0f, effect);  // spaces are passed over
    }
    ASSERT_TRUE(effect.rolling);
    const int index = effect.rollIndex;
    const int truth = static_cast<unsigned char>(kLoadingMessage[index]);
    EXPECT_NE(truth, ' ');
    // A code every 20 ms, up to one past the true letter.
    for (int frames = 0; effect.rolling && frames < 1000; ++frames) {
        AnimateLoadingText(buffer, 10.0f, effect);
    }
    EXPECT_EQ(static_cast<unsigned char>(buffer[index]), truth + 1);
    // The next letter restores the whole message around it.
    do {
        AnimateLoadingText(buffer, 20.0f, effect);
    } while (!effect.rolling);
    for (int i = 0; i < 19; ++i) {
        if (i != effect.rollIndex) {
            EXPECT_EQ(buffer[i], kLoadingMessage[i]);
        }
    }
    EXPECT_EQ(buffer[19], '\0');
}

// In real time the world runs from the first frame, while the scene loads,
// but its actors get no time until the show begins: the beat, the curve and
// the rest start from the same state however long the load takes.
TEST(MainLoopTest, BeforeTheShowTheActorsGetNoTimeSoItBeginsAlikeHoweverLongTheLoad)
{
    ASSERT_EQ(SDL_Init(SDL_INIT_EVENTS), 0);
    NullRenderer renderer;
    SetRenderer(&renderer);
    BassBouncer::SetPulseLevel(1.0f);
    AddActor(new BassBouncer("bounce"));  // the registry's from now on
    auto* curve = new LineFX("curve");
    AddActor(curve);
    PlayOptions realTime;
    Show show(realTime);
    Window window;
    for (int frame = 0; frame < 3; ++frame) {
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
        EXPECT_FALSE(RunFrame(window, renderer, show));
    }
    EXPECT_FALSE(show.State().musicStarted);
    EXPECT_GT(show.State().frameDeltaMs, 0.0f);  // the frames themselves took their time
    EXPECT_EQ(BassBouncer::PulseLevel(), 1.0f);
    EXPECT_EQ(curve->ClockSeconds(), 0.0f);
    TheWorld().Clear();
    SetRenderer(nullptr);
    SDL_Quit();
}
