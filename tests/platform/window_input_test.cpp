#include <gtest/gtest.h>

#include <SDL.h>

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
