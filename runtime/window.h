#pragma once
// The one top-level window the demo renders into. The renderer draws into it
// through its handle and shows it once the graphics device exists.

#include <cstdint>

struct SDL_Window;

class Window {
public:
    SDL_Window* handle = nullptr;
    unsigned width = 0;
    unsigned height = 0;
    uint8_t fullscreen = 0;

    // Makes the window visible.
    void Show();
};
