// The real loading thread loads a scene full of actors while the main thread
// runs frames, and the show starts on the main thread: its "play" and the
// scene camera's hand-over reach actors the main thread updates. Run under
// ThreadSanitizer in CI, where a start on the loading thread is a reported
// race.

#include <gtest/gtest.h>

#include <SDL.h>

#include <algorithm>
#include <chrono>

#include "app/main_loop.h"
#include "app/show.h"
#include "core/file_manager.h"
#include "platform/window.h"
#include "render/null_renderer.h"
#include "tests/scene/scene_files.h"
#include "tests/support/test_support.h"
#include "world/engine_camera.h"

namespace {

constexpr char kScene[] = R"(<?xml version="1.0"?>
<base>
  <scene>
    <meshes> <cube /> </meshes>
    <materials> <plain /> </materials>
    <objects>
      <box1> <Position x="0" y="0" z="4" /> <Mesh name="cube" /> <Material name="plain" /> </box1>
      <box2> <Position x="2" y="0" z="4" /> <Mesh name="cube" /> <Material name="plain" /> </box2>
    </objects>
    <lights>
      <lamp1> <Color x="1" y="1" z="1" /> <Position x="0" y="2" z="2" /> <Cutoff x="10" /> </lamp1>
    </lights>
    <actors>
      <bounce classname="BassBouncer"> <child name="box1" /> <Scale x="1" y="0" z="0" /> </bounce>
      <flick classname="LightFlicker"> <child name="lamp1" /> </flick>
      <shatter classname="ObjectPulsator"> <child name="box2" /> <Params x="1" y="0" z="0" /> </shatter>
      <cam1 classname="Camera"> <Position x="0" y="0" z="0" /> </cam1>
      <curve classname="LineFX"> <Position x="0" y="1" z="6" /> </curve>
      <credits classname="Greeter" />
    </actors>
    <automations>
      <cam1::Position> <key t="0" x="0" y="0" z="0" /> <key t="2" x="0" y="0" z="1" /> </cam1::Position>
    </automations>
    <eventtrigger>
      <activate eventTime="0.1" target="cam1" />
      <destroy eventTime="0.2" />
      <restore eventTime="0.4" />
      <activate eventTime="0.5" target="credits" />
    </eventtrigger>
  </scene>
</base>
)";

}  // namespace

TEST(MainLoopThreadsTest, TheShowStartsOnTheMainThreadWhileTheLoadingThreadLoads)
{
    ScopedWorkDir dir;
    TheFileManager().AddSearchPath("model/", "obj", kResourceModel);
    TheFileManager().AddSearchPath("tex/", "bmp", kResourceTexture);
    WriteFile(dir.path() / "model" / "cube.obj", MeshFile(36));
    WriteFile(dir.path() / "tex" / "plain.bmp", BitmapFile(4, 4, std::vector<uint8_t>(48, 128)));
    WriteFile(dir.path() / "demofinal.xml", std::string(kScene));

    ASSERT_EQ(SDL_Init(SDL_INIT_EVENTS), 0);
    NullRenderer renderer;  // keeps nothing, so either thread may call it
    SetRenderer(&renderer);
    EngineCamera editor("EditorCam");
    PlayOptions options;
    options.fixedStep = true;
    options.fps = 25;
    Show show(options);
    ShowState& state = show.State();
    state.editorCamera = state.activeCamera = &editor;
    Window window;

    StdoutCapture capture;
    TakeOverLoadingText(show.Loading(), renderer);
    show.Loader().Start(show.Loading(), state);
    show.Loading().SetSceneFileName("demofinal.xml");
    const auto giveUp = std::chrono::steady_clock::now() + std::chrono::minutes(3);
    bool quit = false;
    while (!quit && state.demoTime < 1.0f && std::chrono::steady_clock::now() < giveUp) {
        quit = RunFrame(window, renderer, show);
    }
    EXPECT_FALSE(quit);  // the scene has no exit event
    state.quitRequested = true;
    show.Loader().Join();
    const std::vector<std::string> lines = capture.Lines();

    ASSERT_TRUE(state.musicStarted);
    EXPECT_GE(state.demoTime, 1.0f);
    ASSERT_NE(state.activeCamera, nullptr);
    EXPECT_EQ(state.activeCamera->name, "cam1");  // the activated scene camera has the view
    for (const char* fired : {"Triggering Event: activate 0.1", "Triggering Event: destroy 0.2", "Triggering Event: restore 0.4",
                              "Triggering Event: activate 0.5"}) {
        EXPECT_NE(std::find(lines.begin(), lines.end(), fired), lines.end()) << fired;
    }
    SetRenderer(nullptr);
    SDL_Quit();
}
