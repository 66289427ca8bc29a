// The player run in this process, in an offscreen window. The watch keys:
// the demo plays a small production on the fixed-step clock while a second
// thread types keys into SDL's event queue, each once the log shows what the
// previous one did; the log goes to a file both threads read. The start of
// the show: every frame drawn while the scene loads is read back.

#include <SDL.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cmath>
#include <cstdlib>
#include <deque>
#include <fstream>
#include <regex>
#include <sstream>
#include <thread>

#include "app/command_line.h"
#include "app/demo_main.h"
#include "app/event_triggers.h"
#include "app/loader_thread.h"
#include "app/loading_state.h"
#include "app/main_loop.h"
#include "app/show.h"
#include "app/viewport.h"
#include "core/file_manager.h"
#include "core/log.h"
#include "core/process_state.h"
#include "platform/keys.h"
#include "platform/music_player.h"
#include "platform/timer.h"
#include "platform/window.h"
#include "render/gl/renderer_gl.h"
#include "tests/e2e/test_production.h"
#include "tests/support/test_support.h"
#include "world/camera_selection.h"
#include "world/engine_camera.h"
#include "world/world.h"

namespace fs = std::filesystem;

namespace {

constexpr auto kPatience = std::chrono::seconds(120);
// Set once the player has returned: nothing more will be logged.
std::atomic<bool> demoEnded{false};

void Press(SDL_Keycode key)
{
    SDL_Event event{};
    event.type = SDL_KEYDOWN;
    event.key.keysym.sym = key;
    SDL_PushEvent(&event);
    event.type = SDL_KEYUP;
    SDL_PushEvent(&event);
}

// Waits for the n-th log line matching the pattern and gives its first
// group as a number (0 without one); NaN after the time-out.
double WaitFor(const fs::path& log, const std::string& pattern, int nth = 1)
{
    const std::regex line(pattern);
    const auto giveUp = std::chrono::steady_clock::now() + kPatience;
    while (std::chrono::steady_clock::now() < giveUp && !demoEnded) {
        const std::string text = ReadFileText(log);
        int seen = 0;
        for (auto it = std::sregex_iterator(text.begin(), text.end(), line); it != std::sregex_iterator(); ++it) {
            if (++seen == nth) {
                return (*it)[1].length() > 0 ? std::stod((*it)[1].str()) : 0.0;
            }
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    return std::nan("");
}

constexpr char kTime[] = " ([0-9.e+-]+) s";

}  // namespace

TEST(WatchKeysRunTest, SpaceHoldsTheClockArrowsJumpFiveSecondsAndHomeReplaysFromTheStart)
{
    ScopedWorkDir dir;
    WriteTestProduction(dir.path(), {.music = false, .exitTime = 100.0f});
    setenv("SDL_VIDEODRIVER", "offscreen", 1);
    setenv("SDL_AUDIODRIVER", "dummy", 1);
    const fs::path logPath = dir.path() / "log.txt";
    std::FILE* logFile = std::fopen(logPath.c_str(), "w");
    ASSERT_NE(logFile, nullptr);
    SetLogSink(logFile);
    TheFrameTimer();
    TheMusicPlayer();

    PlayOptions options;
    options.windowed = true;
    options.width = 160;
    options.height = 90;
    options.fixedStep = true;
    options.fps = 10;
    options.watch = true;
    double paused = 0, forward = 0, back = 0, home = 0, resumed = 0;
    std::thread typist([&] {
        // The show runs once the camera has been activated.
        WaitFor(logPath, "Triggering Event: activate 0\\.5");
        Press(SDLK_SPACE);
        paused = WaitFor(logPath, std::string("Show paused at") + kTime);
        Press(SDLK_RIGHT);
        forward = WaitFor(logPath, std::string("Show moved to") + kTime, 1);
        Press(SDLK_LEFT);
        back = WaitFor(logPath, std::string("Show moved to") + kTime, 2);
        Press(SDLK_HOME);
        home = WaitFor(logPath, std::string("Show moved to") + kTime, 3);
        Press(SDLK_SPACE);
        resumed = WaitFor(logPath, std::string("Show resumed at") + kTime);
        // From the start again, the event at 0.5 s fires a second time.
        WaitFor(logPath, "Triggering Event: activate 0\\.5", 2);
        Press(SDLK_ESCAPE);
    });
    const int result = DemoMain(options);
    demoEnded = true;
    typist.join();
    SetLogSink(stdout);
    std::fclose(logFile);

    EXPECT_EQ(result, 0);
    EXPECT_GE(paused, 0.5);
    // While paused the clock stands: the jumps are from the paused time.
    EXPECT_NEAR(forward, paused + 5.0, 1e-3);
    EXPECT_NEAR(back, paused, 1e-3);
    EXPECT_NEAR(home, 0.0, 1e-3);
    EXPECT_NEAR(resumed, 0.0, 1e-3);
}

// A box and a floor in front of the origin, lit, registered early in the
// load; then an actor that copies thirty large meshes, which takes many
// frames. The camera is activated after the start.
std::string LitEarlyScene()
{
    std::ostringstream objects;
    std::ostringstream children;
    for (int i = 0; i < 30; ++i) {
        objects << "<h" << i << "> <Position x=\"0\" y=\"0\" z=\"-10\" /> <Scale x=\"0.01\" y=\"0.01\" z=\"0.01\" />"
                << " <Mesh name=\"heavy\" /> <Material name=\"plain\" /> </h" << i << ">\n";
        children << "<child name=\"h" << i << "\" /> ";
    }
    return R"(<?xml version="1.0"?>
<base>
  <scene>
    <meshes> <cube /> <heavy /> </meshes>
    <materials> <checker /> <plain /> </materials>
    <objects>
      <box1> <Position x="0" y="0" z="4" /> <Scale x="1.5" y="1.5" z="1.5" /> <Mesh name="cube" /> <Material name="checker" /> </box1>
      <floor> <Position x="0" y="-1.5" z="5" /> <Scale x="10" y="0.2" z="10" /> <Mesh name="cube" /> <Material name="plain" /> </floor>
)" + objects.str() + R"(    </objects>
    <lights> <lamp1> <Color x="1" y="1" z="1" /> <Position x="0" y="2" z="1" /> <Cutoff x="20" /> </lamp1> </lights>
    <actors>
      <shatter classname="ObjectPulsator"> )" + children.str() + R"(</shatter>
      <cam1 classname="Camera"> <Position x="0" y="0" z="1" /> </cam1>
    </actors>
    <automations> </automations>
    <eventtrigger> <activate eventTime="0.2" target="cam1" /> <exit eventTime="100" /> </eventtrigger>
  </scene>
</base>
)";
}

// While the scene loads, the frames show the loading text over black and
// nothing of the scene the loading thread is registering, whatever camera
// has the view; the first frame after that is the show's.
TEST(ShowStartRunTest, BeforeTheFirstShowFrameOnlyTheLoadingTextIsShown)
{
    ScopedWorkDir dir;
    WriteTestProduction(dir.path(), {.music = false, .heavyMeshes = 1});
    std::ofstream(dir.path() / "demofinal.xml") << LitEarlyScene();
    setenv("SDL_VIDEODRIVER", "offscreen", 1);
    setenv("SDL_AUDIODRIVER", "dummy", 1);
    TheFrameTimer();
    TheMusicPlayer();
    TheFileManager().AddSearchPath("tex/", "bmp", kResourceTexture);
    TheFileManager().AddSearchPath("model/", "obj", kResourceModel);
    EngineCamera editor("EditorCam");
    editorCamera = activeCamera = &editor;
    // Nothing left of a show played before in this process.
    TheWorld().Clear();
    LoadingState& state = TheLoadingState();
    state.loadingDone = false;
    musicStarted = quitRequested = freeCameraMode = false;
    demoTime = lastTriggerTime = 0.0f;
    sceneCamera = nullptr;
    state.loadingText = TextInstance{state.loadingBuffer, 1, 660, 540, 0xFFFFFFFFu};
    constexpr int kWidth = 320;
    constexpr int kHeight = 180;
    StdoutCapture quiet;
    ASSERT_EQ(SetupViewport("start", kWidth, kHeight, false), 0);
    RendererGL& renderer = *ViewportRenderer();
    renderer.StartCapture();
    PlayOptions options;
    options.fixedStep = true;
    options.fps = 10;
    Show show(options);
    TakeOverLoadingText(renderer);
    StartLoaderThread();
    state.SetSceneFileName("demofinal.xml");

    // Each frame read back, with whether the show had begun when it was drawn.
    std::deque<bool> drawnInShow;
    int loadingFrames = 0;
    int textFrames = 0;   // of those, with the loading text
    int sceneFrames = 0;  // of those, with anything else
    int showFrames = 0;
    const auto look = [&](const uint8_t* rgba) {
        const bool inShow = drawnInShow.front();
        drawnInShow.pop_front();
        int litOutsideText = 0;
        int lit = 0;
        for (int y = 0; y < kHeight; ++y) {
            const bool textRows = y >= 86 && y < 106;  // the big font's cell at 540 of 1080, a sixth the size
            for (int x = 0; x < kWidth; ++x) {
                const uint8_t* p = rgba + (static_cast<size_t>(y) * kWidth + x) * 4;
                const bool on = std::max({p[0], p[1], p[2]}) > 8;
                lit += on;
                litOutsideText += on && !textRows;
            }
        }
        if (inShow) {
            showFrames += lit > kWidth * kHeight / 10;
        } else {
            ++loadingFrames;
            textFrames += lit > 0;
            sceneFrames += litOutsideText > 0;
        }
    };
    const auto giveUp = std::chrono::steady_clock::now() + kPatience;
    for (int after = 0; after < 3 && std::chrono::steady_clock::now() < giveUp;) {
        RunFrame(*ViewportWindow(), renderer, show);
        drawnInShow.push_back(musicStarted);
        after += musicStarted;
        while (const uint8_t* frame = renderer.TakeCapturedFrame()) {
            look(frame);
        }
    }
    while (const uint8_t* frame = renderer.TakeCapturedFrame(true)) {
        look(frame);
    }
    quitRequested = true;
    JoinLoaderThread();
    ShutdownViewport();
    quiet.Text();
    EXPECT_GT(loadingFrames, 3);
    EXPECT_GT(textFrames, 0);
    EXPECT_EQ(sceneFrames, 0);
    EXPECT_EQ(showFrames, 3);
    musicStarted = quitRequested = false;
    editorCamera = activeCamera = sceneCamera = nullptr;
}
