#include "runtime/window.h"

#include <SDL.h>

#include "runtime/message_box.h"

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

// SDL's key codes as the demo's virtual-key codes; 0 for keys it has no code for.
uint8_t VirtualKeyOf(SDL_Keycode key)
{
    if (key >= SDLK_a && key <= SDLK_z) {
        return static_cast<uint8_t>('A' + (key - SDLK_a));
    }
    if (key >= SDLK_0 && key <= SDLK_9) {
        return static_cast<uint8_t>('0' + (key - SDLK_0));
    }
    if (key >= SDLK_F1 && key <= SDLK_F12) {
        return static_cast<uint8_t>(kKeyF1 + (key - SDLK_F1));
    }
    switch (key) {
    case SDLK_LSHIFT:
    case SDLK_RSHIFT: return kKeyShift;
    case SDLK_ESCAPE: return kKeyEscape;
    case SDLK_SPACE: return kKeySpace;
    case SDLK_BACKSPACE: return kKeyBackspace;
    case SDLK_RETURN: return 0x0D;
    case SDLK_TAB: return 0x09;
    case SDLK_PERIOD: return kKeyPeriod;
    case SDLK_COMMA: return 0xBC;
    case SDLK_MINUS: return 0xBD;
    case SDLK_KP_MINUS: return kKeyNumpadMinus;
    case SDLK_KP_COMMA: return kKeyNumpadSeparator;
    case SDLK_INSERT: return kKeyInsert;
    case SDLK_LEFT: return 0x25;
    case SDLK_UP: return 0x26;
    case SDLK_RIGHT: return 0x27;
    case SDLK_DOWN: return 0x28;
    default: return 0;
    }
}

}  // namespace

uint8_t TranslateKey(uint8_t virtualKey, bool shift)
{
    if (virtualKey >= 'A' && virtualKey <= 'Z') {
        return shift ? virtualKey : static_cast<uint8_t>(virtualKey + 0x20);
    }
    if (virtualKey >= '0' && virtualKey <= '9') {
        return virtualKey;
    }
    switch (virtualKey) {
    case kKeySpace:
    case kKeyBackspace:
    case kKeyEscape:
    case kKeyF1:
    case kKeyF2:
        return virtualKey;
    case kKeyPeriod:
        return '.';
    case kKeyNumpadMinus:
    case kKeyNumpadSeparator:
    case kKeyInsert:
        return '-';
    default:
        return 0;
    }
}

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
    handle = SDL_CreateWindow(title.c_str(), 0, 0, static_cast<int>(width), static_cast<int>(height), flags);
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
        if (SDL_SetWindowDisplayMode(handle, &mode) != 0 ||
            SDL_SetWindowFullscreen(handle, SDL_WINDOW_FULLSCREEN) != 0) {
            ShowMessageBox("ERROR", "Can't set mode to fullscreen");
            SDL_DestroyWindow(handle);
            handle = nullptr;
            return -2;
        }
    }
    return 0;
}

void Window::Show()
{
    if (handle) {
        SDL_ShowWindow(handle);
        SDL_RaiseWindow(handle);
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
    if (down) {
        if (const uint8_t c = TranslateKey(virtualKey, shiftDown)) {
            typedChars.push_back(c);
        }
    }
    keyDown[virtualKey] = down ? 1 : 0;
}

void Window::Destroy()
{
    if (handle) {
        SDL_DestroyWindow(handle);
        handle = nullptr;
    }
    typedChars.clear();
    title.clear();
}
