#include "platform/sdl_window.h"

#include <SDL.h>

void SdlWindowDeleter::operator()(SDL_Window* window) const
{
    SDL_DestroyWindow(window);
}

SdlWindowPtr CreateHiddenGlWindow(const char* title, int width, int height)
{
    return SdlWindowPtr(SDL_CreateWindow(title, 0, 0, width, height, SDL_WINDOW_OPENGL | SDL_WINDOW_HIDDEN));
}
