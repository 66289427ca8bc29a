#include "runtime/window.h"

#include <SDL.h>

void Window::Show()
{
    if (handle) {
        SDL_ShowWindow(handle);
    }
}
