#include "platform/window.h"

#include <SDL.h>

#include "platform/message_box.h"

namespace {

// Events the demo never reads are switched off, so that handling one event
// per frame never lets key presses queue up behind them.
void IgnoreUnreadEvents()
{
    const Uint32 unread[] = {SDL_MOUSEMOTION, SDL_MOUSEWHEEL,  SDL_MOUSEBUTTONDOWN, SDL_MOUSEBUTTONUP,
                             SDL_TEXTINPUT,   SDL_TEXTEDITING, SDL_FINGERMOTION,    SDL_FINGERDOWN,
                             SDL_FINGERUP,    SDL_JOYAXISMOTION, SDL_CONTROLLERAXISMOTION};
    for (Uint32 type : unread) {
        SDL_EventState(type, SDL_IGNORE);
    }
}

}  // namespace

int Window::Create(unsigned requestedWidth, unsigned requestedHeight, bool requestedFullscreen,
                   const std::string& requestedTitle)
{
    width = requestedWidth;
    height = requestedHeight;
    title = requestedTitle;
    fullscreen = requestedFullscreen ? 1 : 0;
    if (SDL_InitSubSystem(SDL_INIT_VIDEO) != 0) {
        return -1;
    }
    IgnoreUnreadEvents();
    Uint32 flags = SDL_WINDOW_OPENGL | SDL_WINDOW_HIDDEN;
    if (!fullscreen) {
        flags |= SDL_WINDOW_RESIZABLE;
    }
    handle.reset(SDL_CreateWindow(title.c_str(), 0, 0, static_cast<int>(width), static_cast<int>(height), flags));
    if (!handle) {
        return -1;
    }
    // Without a screen (the offscreen driver) there is no mode to switch: the
    // window simply has the full size.
    const char* driver = SDL_GetCurrentVideoDriver();
    const bool headless = driver && std::string(driver) == "offscreen";
    if (fullscreen && !headless) {
        SDL_DisplayMode mode{};
        mode.format = SDL_PIXELFORMAT_RGB888;  // 32 bits per pixel
        mode.w = static_cast<int>(width);
        mode.h = static_cast<int>(height);
        if (SDL_SetWindowDisplayMode(handle.get(), &mode) != 0 ||
            SDL_SetWindowFullscreen(handle.get(), SDL_WINDOW_FULLSCREEN) != 0) {
            ShowMessageBox("ERROR", "Can't set mode to fullscreen");
            handle.reset();
            return -2;
        }
    }
    return 0;
}

void Window::Show()
{
    if (handle) {
        SDL_ShowWindow(handle.get());
        SDL_RaiseWindow(handle.get());
    }
}

int Window::PumpMessage()
{
    SDL_Event event;
    if (SDL_PollEvent(&event)) {
        HandleEvent(event);
    }
    return 0;
}

void Window::HandleEvent(const SDL_Event& event)
{
    switch (event.type) {
    case SDL_KEYDOWN:
    case SDL_KEYUP:
        HandleKey(VirtualKeyOf(event.key.keysym.sym), event.type == SDL_KEYDOWN);
        break;
    case SDL_QUIT:
        closeRequested = true;
        break;
    case SDL_WINDOWEVENT:
        if (event.window.event == SDL_WINDOWEVENT_CLOSE) {
            closeRequested = true;
        }
        break;
    default:
        break;
    }
}

void Window::HandleKey(uint8_t virtualKey, bool down)
{
    if (virtualKey == kKeyShift) {
        shiftDown = down;
        return;
    }
    if (down && virtualKey != 0) {
        pressedKeys.push_back(virtualKey);
    }
    if (down) {
        if (const uint8_t c = TranslateKey(virtualKey, shiftDown)) {
            typedChars.push_back(c);
        }
    }
    keyDown[virtualKey] = down ? 1 : 0;
}

void Window::Destroy()
{
    handle.reset();
    typedChars.clear();
    pressedKeys.clear();
    title.clear();
}
