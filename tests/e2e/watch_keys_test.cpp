// The watch keys in a real run of the player, in this process: the demo
// plays a small production on the fixed-step clock in an offscreen window,
// and each key is typed into SDL's event queue the moment the log shows what
// the previous one did, from inside the frame that logs it. The window takes
// one event a frame, so every key lands on a known frame of the show.

#include <SDL.h>
#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <mutex>
#include <regex>

#include "app/command_line.h"
#include "app/demo_main.h"
#include "core/log.h"
#include "platform/music_player.h"
#include "platform/timer.h"
#include "tests/e2e/test_production.h"
#include "tests/support/test_support.h"

namespace {

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

}  // namespace

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
    TheFrameTimer();
    TheMusicPlayer();

    PlayOptions options;
    options.windowed = true;
    options.width = 160;
    options.height = 90;
    options.fixedStep = true;
    options.fps = 10;
    options.watch = true;
    const int result = DemoMain(options);
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
