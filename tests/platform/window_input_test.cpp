#include <gtest/gtest.h>

#include <SDL.h>

#include <string>
#include <vector>

#include "platform/message_box.h"
#include "platform/window.h"

namespace {

SDL_Event KeyEvent(SDL_Keycode key, bool down)
{
    SDL_Event event{};
    event.type = down ? SDL_KEYDOWN : SDL_KEYUP;
    event.key.keysym.sym = key;
    return event;
}

}  // namespace

TEST(WindowInputTest, KeysFillTheTableAndTheQueueWithShiftOnePerPumpAndCloseRequestsAreNoted)
{
    Window window;
    window.HandleEvent(KeyEvent(SDLK_LSHIFT, true));
    EXPECT_TRUE(window.shiftDown);
    window.HandleEvent(KeyEvent(SDLK_a, true));
    window.HandleEvent(KeyEvent(SDLK_a, true));  // auto-repeat
    window.HandleEvent(KeyEvent(SDLK_LSHIFT, false));
    window.HandleEvent(KeyEvent(SDLK_a, true));
    window.HandleEvent(KeyEvent(SDLK_w, true));
    EXPECT_EQ(window.keyDown[kKeyW], 1);
    window.HandleEvent(KeyEvent(SDLK_w, false));
    EXPECT_EQ(window.keyDown[kKeyW], 0);
    window.HandleEvent(KeyEvent(SDLK_LEFT, true));  // no character, but held
    EXPECT_EQ(window.keyDown[0x25], 1);
    window.HandleEvent(KeyEvent(SDLK_F1, true));
    window.HandleEvent(KeyEvent(SDLK_ESCAPE, true));
    EXPECT_EQ(window.typedChars, (std::deque<uint8_t>{'A', 'A', 'a', 'w', 0x70, 0x1B}));
    EXPECT_FALSE(window.closeRequested);

    // Pumped from SDL's queue: one event per pump.
    ASSERT_EQ(SDL_InitSubSystem(SDL_INIT_EVENTS), 0);
    SDL_FlushEvents(SDL_FIRSTEVENT, SDL_LASTEVENT);
    Window pumped;
    SDL_Event first = KeyEvent(SDLK_p, true);
    SDL_Event second = KeyEvent(SDLK_q, true);
    SDL_PushEvent(&first);
    SDL_PushEvent(&second);
    pumped.PumpMessage();
    EXPECT_EQ(pumped.typedChars, std::deque<uint8_t>{'p'});
    pumped.PumpMessage();
    EXPECT_EQ(pumped.typedChars, (std::deque<uint8_t>{'p', 'q'}));

    SDL_Event quit{};
    quit.type = SDL_QUIT;
    SDL_PushEvent(&quit);
    // Other events SDL queues by itself may come first: one per pump.
    for (int i = 0; i < 10 && !pumped.closeRequested; ++i) {
        pumped.PumpMessage();
    }
    EXPECT_TRUE(pumped.closeRequested);

    Window other;
    SDL_Event close{};
    close.type = SDL_WINDOWEVENT;
    close.window.event = SDL_WINDOWEVENT_CLOSE;
    other.HandleEvent(close);
    EXPECT_TRUE(other.closeRequested);
    SDL_QuitSubSystem(SDL_INIT_EVENTS);
}

namespace {

std::vector<std::pair<std::string, std::string>> boxes;
bool shownWhenSwitched = false;

void RecordBox(const std::string& title, const std::string& text)
{
    boxes.emplace_back(title, text);
}

// A screen of 800 x 600, whatever was asked for.
int FillAnotherScreen(SDL_Window* window)
{
    shownWhenSwitched = (SDL_GetWindowFlags(window) & SDL_WINDOW_SHOWN) != 0;
    SDL_SetWindowSize(window, 800, 600);
    return 0;
}

int CannotGoFullScreen(SDL_Window*)
{
    return -1;
}

}  // namespace

TEST(WindowCreateTest, FullScreenTakesTheScreensSizeAndAWindowThatCannotGoFullScreenStopsAfterTheBox)
{
    setenv("SDL_VIDEODRIVER", "offscreen", 0);
    SetMessageBoxFunction(RecordBox);
    SetFullScreenFunction(FillAnotherScreen);
    Window window;
    EXPECT_EQ(window.Create(1920, 1080, true, "default"), 0);
    EXPECT_TRUE(shownWhenSwitched) << "a hidden window does not really go full screen";
    EXPECT_EQ(std::pair(window.width, window.height), std::pair(800u, 600u));
    window.Destroy();

    SetFullScreenFunction(CannotGoFullScreen);
    Window windowed;
    EXPECT_EQ(windowed.Create(320, 180, false, "default"), 0);  // never asked to
    EXPECT_EQ(std::pair(windowed.width, windowed.height), std::pair(320u, 180u));
    windowed.Destroy();
    EXPECT_TRUE(boxes.empty());
    Window refused;
    EXPECT_EQ(refused.Create(1920, 1080, true, "default"), -2);
    EXPECT_EQ(boxes, (std::vector<std::pair<std::string, std::string>>{{"ERROR", "Can't set mode to fullscreen"}}));
    EXPECT_EQ(refused.handle, nullptr);
    EXPECT_NE(refused.failure.find("--windowed"), std::string::npos);
    SetFullScreenFunction(nullptr);
    SetMessageBoxFunction(nullptr);
    SDL_QuitSubSystem(SDL_INIT_VIDEO);
}
