// The player run in this process, in an offscreen window. The watch keys:
// the demo plays a small production on the fixed-step clock, and each key is
// typed into SDL's event queue the moment the log shows what the previous
// one did, from inside the frame that logs it; the window takes one event a
// frame, so every key lands on a known frame of the show. The start of the
// show: every frame drawn while the scene loads is read back. An exit()
// in the middle of a show: what start-up opened is left alone.

#include <SDL.h>
#include <SDL_mixer.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <cstring>
#include <deque>
#include <fstream>
#include <mutex>
#include <regex>
#include <sstream>

#include "app/command_line.h"
#include "app/demo_main.h"
#include "app/event_triggers.h"
#include "app/loading_state.h"
#include "app/main_loop.h"
#include "app/show.h"
#include "app/viewport.h"
#include "core/file_manager.h"
#include "core/log.h"
#include "platform/keys.h"
#include "platform/music_player.h"
#include "platform/timer.h"
#include "platform/window.h"
#include "render/gl/gl_backend.h"
#include "render/null_renderer.h"
#include "tests/e2e/test_production.h"
#include "tests/support/test_support.h"
#include "world/engine_camera.h"
#include "world/world.h"

namespace {

// However loaded the machine, the start of a show comes well within this.
constexpr auto kPatience = std::chrono::seconds(120);

void Press(SDL_Keycode key)
{
    SDL_Event event{};
    event.type = SDL_KEYDOWN;
    event.key.keysym.sym = key;
    SDL_PushEvent(&event);
    event.type = SDL_KEYUP;
    SDL_PushEvent(&event);
}

// A log that types the next key when the line it waits for is written.
class KeyTypist {
public:
    struct Step {
        std::string cue;  // the start of the line that the key follows
        SDL_Keycode key;
    };

    explicit KeyTypist(std::vector<Step> steps) : steps_(std::move(steps))
    {
        const cookie_io_functions_t io{nullptr, &KeyTypist::Write, nullptr, nullptr};
        file_ = fopencookie(this, "w", io);
    }
    ~KeyTypist()
    {
        if (file_) {
            std::fclose(file_);
        }
    }

    std::FILE* File() const { return file_; }
    size_t StepsTaken() const { return next_; }
    std::string Text()
    {
        std::lock_guard<std::mutex> lock(mutex_);
        return text_;
    }

private:
    static ssize_t Write(void* cookie, const char* bytes, size_t size)
    {
        auto* typist = static_cast<KeyTypist*>(cookie);
        std::lock_guard<std::mutex> lock(typist->mutex_);
        typist->text_.append(bytes, size);
        typist->TypeOnCues();
        return static_cast<ssize_t>(size);
    }

    void TypeOnCues()
    {
        for (size_t end; (end = text_.find('\n', scanned_)) != std::string::npos; scanned_ = end + 1) {
            const std::string line = text_.substr(scanned_, end - scanned_);
            if (next_ < steps_.size() && line.rfind(steps_[next_].cue, 0) == 0) {
                Press(steps_[next_++].key);
            }
        }
    }

    std::vector<Step> steps_;
    size_t next_ = 0;
    std::mutex mutex_;
    std::string text_;
    size_t scanned_ = 0;
    std::FILE* file_ = nullptr;
};

// The show times of the lines that start with `prefix` and end in " s".
std::vector<double> TimesLogged(const std::string& log, const std::string& prefix)
{
    std::vector<double> times;
    const std::regex line(prefix + " ([0-9.e+-]+) s");
    for (auto it = std::sregex_iterator(log.begin(), log.end(), line); it != std::sregex_iterator(); ++it) {
        times.push_back(std::stod((*it)[1].str()));
    }
    return times;
}

// Torn down during exit(): says what and ends the process with 9.
[[noreturn]] void TornDownAtExit(const char* what)
{
    std::fprintf(stderr, "%s at exit\n", what);
    std::fflush(stderr);
    ::_exit(9);
}

// SDL hides a window it destroys, and says so.
int WatchForHiddenWindow(void*, SDL_Event* event)
{
    if (event->type == SDL_WINDOWEVENT && event->window.event == SDL_WINDOWEVENT_HIDDEN) {
        TornDownAtExit("the window was destroyed");
    }
    return 1;
}

// Registered before the music player is made, this runs after anything the
// player left for exit().
void MusicStillOpen()
{
    if (Mix_QuerySpec(nullptr, nullptr, nullptr) == 0) {
        TornDownAtExit("the audio device was closed");
    }
}

}  // namespace

// exit(), which a library may call at any moment (Xlib does when its display
// goes away), tears down nothing that start-up opened: neither the window
// with the renderer nor the music player with the audio device. Torn down
// against a display that is gone or frozen, they would wait on it for ever.
// Nor does a loading thread still running abort the process.
TEST(PlayerExitTest, AnExitLeavesTheWindowAndTheSoundAlone)
{
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    ScopedWorkDir dir;
    WriteTestProduction(dir.path(), {.music = false});
    setenv("SDL_VIDEODRIVER", "offscreen", 1);
    setenv("SDL_AUDIODRIVER", "dummy", 1);
    EXPECT_EXIT(
        {
            std::atexit(MusicStillOpen);
            // Like the show that DemoMain keeps on its stack, which exit()
            // never destroys.
            auto* music = new MusicPlayer;
            auto* show = new Show(PlayOptions{}, music);
            const ShowRendererMaker makeRenderer = GlBackend().makeRenderer;
            if (!music->DeviceOpen() || show->View().Setup(makeRenderer, "exit", 160, 90, false) != 0) {
                ::_exit(2);
            }
            show->View().GetWindow()->Show();
            SDL_AddEventWatch(WatchForHiddenWindow, nullptr);
            show->Loader().Start(show->Loading(), show->State());  // waits for a main loop that never runs
            std::exit(3);
        },
        testing::ExitedWithCode(3), "");
}

TEST(WatchKeysRunTest, SpaceHoldsTheClockArrowsJumpFiveSecondsAndHomeReplaysFromTheStart)
{
    ScopedWorkDir dir;
    WriteTestProduction(dir.path(), {.music = false, .exitTime = 100.0f});
    setenv("SDL_VIDEODRIVER", "offscreen", 1);
    setenv("SDL_AUDIODRIVER", "dummy", 1);
    // The event at 0.8 s fires on frame 8 (10 frames a second): Space lands
    // on frame 9, at 0.9 s, a time a float holds a little short, and every
    // later key lands on the frame after the line of the one before.
    KeyTypist typist({{"Triggering Event: destroy 0.8", SDLK_SPACE},
                      {"Show paused at", SDLK_RIGHT},
                      {"Show moved to", SDLK_LEFT},
                      {"Show moved to", SDLK_HOME},
                      {"Show moved to", SDLK_SPACE},
                      {"Triggering Event: activate 0.5", SDLK_ESCAPE}});
    ASSERT_NE(typist.File(), nullptr);
    SetLogSink(typist.File());
    MusicPlayer music;
    PlayOptions options;
    options.windowed = true;
    options.width = 160;
    options.height = 90;
    options.fixedStep = true;
    options.fps = 10;
    options.watch = true;
    const int result = DemoMain(options, GlBackend(), music);
    SetLogSink(stdout);
    const std::string log = typist.Text();

    EXPECT_EQ(result, 0);
    ASSERT_EQ(typist.StepsTaken(), 6u) << log;
    // While paused the clock stands: the jumps are from the paused time, to
    // the frame nearest the time asked for.
    EXPECT_EQ(TimesLogged(log, "Show paused at"), std::vector<double>{0.9});
    EXPECT_EQ(TimesLogged(log, "Show moved to"), (std::vector<double>{5.9, 0.9, 0.0}));
    EXPECT_EQ(TimesLogged(log, "Show resumed at"), std::vector<double>{0.0});
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
    TheFileManager().AddSearchPath("tex/", "bmp", kResourceTexture);
    TheFileManager().AddSearchPath("model/", "obj", kResourceModel);
    EngineCamera editor("EditorCam");
    // Nothing left of a show played before in this process.
    TheWorld().Clear();
    PlayOptions options;
    options.fixedStep = true;
    options.fps = 10;
    Show show(options);
    ShowState& showState = show.State();
    showState.editorCamera = showState.activeCamera = &editor;
    LoadingState& state = show.Loading();
    state.loadingText = TextInstance{state.loadingBuffer, 1, 660, 540, 0xFFFFFFFFu};
    constexpr int kWidth = 320;
    constexpr int kHeight = 180;
    StdoutCapture quiet;
    ASSERT_EQ(show.View().Setup(GlBackend().makeRenderer, "start", kWidth, kHeight, false), 0);
    ShowRenderer& renderer = *show.View().Renderer();
    renderer.StartCapture();
    TakeOverLoadingText(state, renderer);
    show.Loader().Start(state, showState);
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
        EXPECT_FALSE(RunFrame(*show.View().GetWindow(), renderer, show));
        drawnInShow.push_back(showState.musicStarted);
        after += showState.musicStarted;
        while (const uint8_t* frame = renderer.TakeCapturedFrame()) {
            look(frame);
        }
    }
    while (const uint8_t* frame = renderer.TakeCapturedFrame(true)) {
        look(frame);
    }
    showState.quitRequested = true;
    show.Loader().Join();
    show.View().Shutdown();
    quiet.Text();
    EXPECT_GT(loadingFrames, 3);
    EXPECT_GT(textFrames, 0);
    EXPECT_EQ(sceneFrames, 0);
    EXPECT_EQ(showFrames, 3);
}

// The viewport with the renderer it is handed (the null one here; the real
// one in the runs above): set up for the loading picture, published, and
// gone again at shutdown. Without a renderer start-up fails cleanly. A real
// window, like the runs: the graphics libraries it loads keep memory that
// the sanitized unit tests would count.
TEST(ViewportTest, TheRendererItIsHandedIsPreparedPublishedAndShutDownAndNoneIsRefused)
{
    setenv("SDL_VIDEODRIVER", "offscreen", 0);
    StdoutCapture log;
    StderrCapture said;
    NullRenderer* made = nullptr;
    const ShowRendererMaker makeNull = [&made] {
        auto renderer = std::make_unique<NullRenderer>();
        made = renderer.get();
        return std::unique_ptr<ShowRenderer>(std::move(renderer));
    };
    Viewport viewport;
    ASSERT_EQ(viewport.Setup(makeNull, "viewport", 320, 180, false), 0);
    ASSERT_NE(made, nullptr);
    EXPECT_EQ(viewport.Renderer(), made);
    EXPECT_EQ(GetRenderer(), made);
    EXPECT_NE(viewport.GetWindow(), nullptr);
    EXPECT_FALSE(made->SceneShown());  // the loading text alone until the show begins
    EXPECT_EQ(made->CapturedWidth(), 320u);
    EXPECT_EQ(made->CapturedHeight(), 180u);
    viewport.Shutdown();
    EXPECT_EQ(viewport.Renderer(), nullptr);
    EXPECT_EQ(GetRenderer(), nullptr);
    EXPECT_EQ(viewport.GetWindow(), nullptr);

    EXPECT_EQ(viewport.Setup(ShowRendererMaker{}, "viewport", 320, 180, false), -1);
    EXPECT_EQ(viewport.Renderer(), nullptr);
    EXPECT_EQ(viewport.GetWindow(), nullptr);
    // A viewport that goes out of scope shuts down what it made.
    {
        Viewport scoped;
        ASSERT_EQ(scoped.Setup(makeNull, "viewport", 320, 180, false), 0);
        EXPECT_EQ(GetRenderer(), made);
    }
    EXPECT_EQ(GetRenderer(), nullptr);
    EXPECT_EQ(said.Text(), "demoplayer: cannot start: no renderer to draw with\n");
    EXPECT_NE(log.Text().find("add vport failed -2"), std::string::npos);
}
