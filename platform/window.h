#pragma once
// The one top-level window the demo renders into: full screen at the
// desktop's own mode (the renderer fits its picture into whatever size that
// is) or a window of the requested size, keys turned into a table of keys
// held down and a queue of typed characters, one window event handled per
// frame.

#include <array>
#include <cstdint>
#include <deque>
#include <string>

#include "platform/keys.h"
#include "platform/sdl_window.h"

union SDL_Event;

// Takes a shown window full screen at the desktop's own mode, which every
// screen has: 0, or -1 when the window cannot go full screen at all.
using FullScreenFunction = int (*)(SDL_Window* window);
// Replaces that call (tests do); null restores the system's.
void SetFullScreenFunction(FullScreenFunction function);

class Window {
public:
    SdlWindowPtr handle;
    // The client size in pixels: as requested, or the screen's in full screen.
    unsigned width = 0;
    unsigned height = 0;
    std::string title;
    uint8_t fullscreen = 0;
    std::array<uint8_t, 256> keyDown{};
    bool shiftDown = false;
    std::deque<uint8_t> typedChars;
    // Every key pressed, as a virtual-key code, whether it types or not; the
    // owner takes them from the front.
    std::deque<uint8_t> pressedKeys;
    // The window was asked to close (window manager, Alt+F4) or the process
    // to end (SIGINT, SIGTERM).
    bool closeRequested = false;
    // Why Create failed, in words for the user; empty after a success.
    std::string failure;

    // 0; -1 when the window system cannot be used; -2 when the window cannot
    // go full screen (after the "ERROR" box). Without a screen (the offscreen
    // driver) a full-screen window keeps the requested size.
    int Create(unsigned width, unsigned height, bool fullscreen, const std::string& title);
    // Makes the window visible.
    void Show();
    // Handles at most one pending event; 0.
    int PumpMessage();
    // Closes the window and forgets the typed characters and the title.
    void Destroy();

    // What one event does to the key state; used by PumpMessage.
    void HandleEvent(const SDL_Event& event);
    void HandleKey(uint8_t virtualKey, bool down);
};
