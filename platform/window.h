#pragma once
// The one top-level window the demo renders into: full screen at the
// requested size, keys turned into a table of keys held down and a queue of
// typed characters, one window event handled per frame.

#include <array>
#include <cstdint>
#include <deque>
#include <string>

#include "platform/keys.h"
#include "platform/sdl_window.h"

union SDL_Event;

class Window {
public:
    SdlWindowPtr handle;
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

    // 0; -1 when the window system cannot be used; -2 when the full-screen
    // mode cannot be set (after the "ERROR" box).
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
