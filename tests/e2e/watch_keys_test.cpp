// The watch keys in a real run of the player, in this process: the demo
// plays a small production on the fixed-step clock in an offscreen window
// while a second thread types keys into SDL's event queue, each once the log
// shows what the previous one did. The log goes to a file both threads read.

#include <SDL.h>
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <cmath>
#include <cstdlib>
#include <regex>
#include <thread>

#include "app/command_line.h"
#include "app/demo_main.h"
#include "core/log.h"
#include "platform/keys.h"
#include "platform/music_player.h"
#include "platform/timer.h"
#include "tests/e2e/test_production.h"
#include "tests/support/test_support.h"

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
