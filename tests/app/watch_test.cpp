#include <gtest/gtest.h>

#include <cstdlib>

#include "app/event_triggers.h"
#include "app/live_edit.h"
#include "app/show.h"
#include "app/watch_keys.h"
#include "core/process_state.h"
#include "platform/keys.h"
#include "tests/support/test_support.h"
#include "world/world.h"

namespace {

class Listener : public Triggerable {
public:
    void Trigger(std::string event) override { received.push_back(event); }
    std::vector<std::string> received;
};

}  // namespace

// The jumps themselves are checked on a show below.
TEST(WatchKeysTest, SpacePausesArrowsJumpFiveSecondsWithinTheShowHomeGoesToTheStart)
{
    const std::pair<uint8_t, WatchKey> keys[] = {{kKeySpace, WatchKey::kPauseOrResume}, {kKeyLeft, WatchKey::kBack},
                                                 {kKeyRight, WatchKey::kForward},       {kKeyHome, WatchKey::kToStart},
                                                 {kKeyUp, WatchKey::kNone},             {'P', WatchKey::kNone}};
    for (const auto& [key, watchKey] : keys) {
        EXPECT_EQ(WatchKeyFor(key), watchKey) << int{key};
    }
    EXPECT_DOUBLE_EQ(WatchJumpTarget(WatchKey::kBack, 3, 0), 0.0);  // not before the show
    EXPECT_DOUBLE_EQ(WatchJumpTarget(WatchKey::kPauseOrResume, 12.5, 3), 12.5);
}

TEST(LiveEditTest, ChangedPathsAreTheSceneShadersTexturesAndMeshesOfTheProduction)
{
    const auto kind = [](const std::string& path) { return ClassifyChangedFile(path, "demofinal.xml").kind; };
    const auto name = [](const std::string& path) { return ClassifyChangedFile(path, "demofinal.xml").name; };
    EXPECT_EQ(kind("demofinal.xml"), ChangedFileKind::kScene);
    EXPECT_EQ(kind("gshader.psh"), ChangedFileKind::kShader);
    EXPECT_EQ(kind("mesh_shader.vsh"), ChangedFileKind::kShader);
    EXPECT_EQ(kind("tex/metal.bmp"), ChangedFileKind::kTexture);
    EXPECT_EQ(name("tex/metal_normal.bmp"), "metal_normal");
    EXPECT_EQ(kind("model/knot.obj"), ChangedFileKind::kMesh);
    EXPECT_EQ(name("model/knot.obj"), "knot");
    for (const char* other : {"other.xml", "13_3.ogg", "tex/.metal.bmp.swp", "tex/metal.bmp~", "tex/sub/a.bmp",
                              "model/knot.obj.tmp", "tex/a.obj", "model/.obj", "sub/gshader.psh"}) {
        EXPECT_EQ(kind(other), ChangedFileKind::kIgnored) << other;
    }
}

TEST(ShowJumpTest, JumpsMoveTheFixedStepClockAndABackwardJumpReplaysTheEventsFromTheTop)
{
    setenv("SDL_AUDIODRIVER", "dummy", 0);
    StdoutCapture quiet;  // the music player has nothing loaded and says so
    TheWorld().ClearEventTriggers();
    Listener listener;
    Subscribe(&listener, "flash");
    Subscribe(&listener, "play");
    Subscribe(&listener, "stop");
    AddEventTrigger("flash", 2.0f, nullptr);
    AddEventTrigger("flash", 12.0f, nullptr);
    PlayOptions options;
    options.fixedStep = true;
    options.fps = 10;
    options.startSeconds = 1.0;
    Show show(options);
    musicStarted = true;
    demoTime = 0.0f;
    lastTriggerTime = 0.0f;

    show.JumpTo(10.0);  // forward: the world runs up to that frame
    EXPECT_EQ(show.Clock().ShowFrames(), 100);
    EXPECT_FLOAT_EQ(demoTime, 10.0f);
    EXPECT_EQ(listener.received, std::vector<std::string>{"flash"});

    ApplyWatchKey(WatchKey::kBack, show);  // to 5 s: from the top again
    EXPECT_EQ(show.Clock().ShowFrames(), 50);
    EXPECT_FLOAT_EQ(demoTime, 5.0f);
    EXPECT_EQ(listener.received, (std::vector<std::string>{"flash", "stop", "play", "flash"}));

    ApplyWatchKey(WatchKey::kForward, show);  // to 10 s: nothing new fires
    EXPECT_EQ(show.Clock().ShowFrames(), 100);
    EXPECT_EQ(listener.received.size(), 4u);

    ApplyWatchKey(WatchKey::kPauseOrResume, show);
    EXPECT_TRUE(show.Paused());
    EXPECT_FALSE(show.WorldRuns());
    ApplyWatchKey(WatchKey::kToStart, show);  // to --start, still paused
    EXPECT_EQ(show.Clock().ShowFrames(), 10);
    EXPECT_FLOAT_EQ(demoTime, 1.0f);
    EXPECT_TRUE(show.Paused());
    ApplyWatchKey(WatchKey::kPauseOrResume, show);
    EXPECT_TRUE(show.WorldRuns());
    EXPECT_EQ(listener.received.back(), "play");

    TheWorld().Forget(&listener);
    TheWorld().ClearEventTriggers();
    musicStarted = false;
}
