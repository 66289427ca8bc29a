#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <cstring>
#include <thread>

#include "app/main_loop.h"
#include "app/loading_text.h"
#include "core/process_state.h"
#include "platform/timer.h"
#include "platform/window.h"
#include "world/camera_selection.h"
#include "world/engine_camera.h"

namespace {

class FreeCameraTest : public testing::Test {
protected:
    void SetUp() override
    {
        freeCameraMode = false;
        musicStarted = false;
        quitRequested = false;
        editorCamera = &editor;
        activeCamera = &editor;
        sceneCamera = nullptr;
    }
    void TearDown() override
    {
        freeCameraMode = false;
        musicStarted = false;
        quitRequested = false;
        editorCamera = activeCamera = sceneCamera = nullptr;
    }

    EngineCamera editor{"EditorCam"};
    EngineCamera scene{"cam1"};
};

}  // namespace

TEST_F(FreeCameraTest, PTogglesTheFreeCameraAndEscapeQuits)
{
    // A scene camera took over; 'p' hands the view to the editor camera.
    SetSceneCamera(&scene);
    EXPECT_EQ(activeCamera, &scene);
    HandleTypedChar('p');
    EXPECT_TRUE(freeCameraMode);
    EXPECT_EQ(activeCamera, &editor);
    EXPECT_EQ(sceneCamera, &scene);
    // While it is on, scene cameras cannot take the view.
    EngineCamera later("cam2");
    SetSceneCamera(&later);
    EXPECT_EQ(activeCamera, &editor);
    // Before the music starts, turning it off keeps the editor camera.
    HandleTypedChar('p');
    EXPECT_FALSE(freeCameraMode);
    EXPECT_EQ(activeCamera, &editor);
    // Once the music runs, the scene camera comes back.
    musicStarted = true;
    HandleTypedChar('p');
    HandleTypedChar('p');
    EXPECT_EQ(activeCamera, &editor);  // sceneCamera was the editor camera by then
    HandleTypedChar('P');              // Shift+P: nothing
    EXPECT_FALSE(freeCameraMode);
    EXPECT_FALSE(quitRequested);
    HandleTypedChar(0x1B);
    EXPECT_TRUE(quitRequested);
}

TEST_F(FreeCameraTest, MouseAndKeysSteerOnlyUntilTheMusicStarts)
{
    Window window;
    frameDeltaMs = 1000.0f;
    SteerFreeCamera(window, 100, -50);
    EXPECT_FLOAT_EQ(editor.Rotation.y, -0.1f);  // yaw by dx x -0.001
    EXPECT_FLOAT_EQ(editor.Rotation.x, 0.05f);  // pitch by dy x -0.001
    const Vec3 before = editor.Position;
    window.keyDown[kKeyW] = 1;
    SteerFreeCamera(window, 0, 0);
    const Vec3 direction = editor.GetDirection();
    EXPECT_NEAR(editor.Position.x - before.x, direction.x, 1e-5f);
    EXPECT_NEAR(editor.Position.z - before.z, direction.z, 1e-5f);
    musicStarted = true;
    const Vec3 frozen = editor.Position;
    SteerFreeCamera(window, 300, 300);
    EXPECT_EQ(editor.Position.z, frozen.z);
    EXPECT_FLOAT_EQ(editor.Rotation.y, -0.1f);
}

TEST(LoadingTextTest, ALetterRollsUpOneCodeEvery20MsAndTheMessageReturns)
{
    std::srand(7);
    LoadingTextEffect effect;
    char buffer[kLoadingTextBytes] = {};
    // Calls until a letter is chosen (spaces are passed over).
    int calls = 0;
    while (!effect.rolling && calls < 100) {
        AnimateLoadingText(buffer, 16.0f, effect);
        ++calls;
    }
    ASSERT_TRUE(effect.rolling);
    const int index = effect.rollIndex;
    const unsigned char truth = static_cast<unsigned char>(kLoadingMessage[index]);
    EXPECT_NE(truth, ' ');
    EXPECT_LE(effect.rollChar, truth);
    EXPECT_GE(effect.rollChar, truth - 29);
    for (int i = 0; i < 19; ++i) {
        if (i != index) {
            EXPECT_EQ(buffer[i], kLoadingMessage[i]);
        }
    }
    const unsigned char start = effect.rollChar;
    AnimateLoadingText(buffer, 10.0f, effect);  // under 20 ms: nothing
    EXPECT_EQ(static_cast<unsigned char>(buffer[index]), start);
    AnimateLoadingText(buffer, 10.0f, effect);  // 20 ms: one code up
    EXPECT_EQ(static_cast<unsigned char>(buffer[index]), start + 1);
    AnimateLoadingText(buffer, 100.0f, effect);  // at most one step per call
    EXPECT_EQ(static_cast<unsigned char>(buffer[index]), start + 2);
    // Up to the true letter, then one past it, then a new letter and the
    // whole message restored.
    while (effect.rolling) {
        AnimateLoadingText(buffer, 20.0f, effect);
    }
    EXPECT_EQ(static_cast<unsigned char>(buffer[index]), truth + 1);
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

TEST(TimerTest, TicksGiveTheTimeSinceTheLastTick)
{
    Timer timer;
    std::this_thread::sleep_for(std::chrono::milliseconds(30));
    const double first = timer.Tick();
    EXPECT_GE(first, 29.0);
    const double second = timer.Tick();
    EXPECT_LT(second, first);
    EXPECT_GE(second, 0.0);
    timer.MarkStart();
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
    timer.MarkEnd();
    EXPECT_GE(timer.MarkedMs(), 19.0);
    EXPECT_LT(timer.MarkedMs(), 5000.0);
}
