#pragma once
// SDL windows with an owner: a window lives exactly as long as its pointer.

#include <memory>

struct SDL_Window;

struct SdlWindowDeleter {
    void operator()(SDL_Window* window) const;
};
using SdlWindowPtr = std::unique_ptr<SDL_Window, SdlWindowDeleter>;

// A hidden window that a GL context can be made for: the loading thread's
// context, and the pictures of tests and benchmarks. Null when the video
// subsystem cannot make one.
SdlWindowPtr CreateHiddenGlWindow(const char* title, int width, int height);
