#include <gtest/gtest.h>

#include <SDL.h>

#include "platform/window.h"

namespace {

SDL_Event KeyEvent(SDL_Keycode key, bool down, bool repeat = false)
{
    SDL_Event event{};
    event.type = down ? SDL_KEYDOWN : SDL_KEYUP;
    event.key.keysym.sym = key;
    event.key.repeat = repeat ? 1 : 0;
    return event;
}

void Push(SDL_Event event)
{
    ASSERT_EQ(SDL_PushEvent(&event), 1);
}

}  // namespace

TEST(WindowInputTest, KeysFillTheTableAndTheQueueWithShiftAndCloseRequestsAreNoted)
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
    window.HandleEvent(KeyEvent(SDLK_ESCAPE, true));
    EXPECT_EQ(window.typedChars, (std::deque<uint8_t>{'A', 'A', 'a', 'w', 0x1B}));
    EXPECT_FALSE(window.closeRequested);

    SDL_Event close{};
    close.type = SDL_WINDOWEVENT;
    close.window.event = SDL_WINDOWEVENT_CLOSE;
    window.HandleEvent(close);
    EXPECT_TRUE(window.closeRequested);
}

TEST(WindowInputTest, RepeatsOfAHeldKeyDoNotQueueUpAheadOfEscapeAndQuit)
{
    ASSERT_EQ(SDL_InitSubSystem(SDL_INIT_EVENTS), 0);
    SDL_FlushEvents(SDL_FIRSTEVENT, SDL_LASTEVENT);
    Window window;
    // W held through a slow frame: one press and a run of auto-repeats,
    // then a press of P, more repeats of W, Escape and a quit request.
    Push(KeyEvent(SDLK_w, true));
    for (int i = 0; i < 20; ++i) {
        Push(KeyEvent(SDLK_w, true, true));
    }
    Push(KeyEvent(SDLK_p, true));
    Push(KeyEvent(SDLK_w, true, true));
    Push(KeyEvent(SDLK_ESCAPE, true));
    SDL_Event quit{};
    quit.type = SDL_QUIT;
    Push(quit);
    // Other events SDL queues by itself may come first: one per pump.
    for (int i = 0; i < 10 && !window.closeRequested; ++i) {
        window.PumpMessage();
    }
    EXPECT_TRUE(window.closeRequested);
    EXPECT_EQ(window.typedChars, (std::deque<uint8_t>{'w', 'p', 0x1B}));
    EXPECT_EQ(window.keyDown[kKeyW], 1);

    // A repeat with no earlier press of its key in the queue is kept.
    Push(KeyEvent(SDLK_w, true, true));
    for (int i = 0; i < 10 && window.typedChars.size() < 4; ++i) {
        window.PumpMessage();
    }
    EXPECT_EQ(window.typedChars, (std::deque<uint8_t>{'w', 'p', 0x1B, 'w'}));
    SDL_QuitSubSystem(SDL_INIT_EVENTS);
}
