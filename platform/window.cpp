#include "platform/window.h"

#include <SDL.h>

#include <atomic>
#include <cstdlib>

#include "platform/display_loss.h"
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

// Full screen at the desktop's own mode. Without a screen (the offscreen
// driver) there is nothing to fill: the window keeps its size.
int DesktopFullScreen(SDL_Window* window)
{
    const char* driver = SDL_GetCurrentVideoDriver();
    if (driver && std::string(driver) == "offscreen") {
        return 0;
    }
    if (SDL_SetWindowFullscreen(window, SDL_WINDOW_FULLSCREEN_DESKTOP) != 0) {
        return -1;
    }
    const Uint32 desktop = SDL_WINDOW_FULLSCREEN_DESKTOP;
    return (SDL_GetWindowFlags(window) & desktop) == desktop ? 0 : -1;
}

std::atomic<FullScreenFunction> fullScreenFunction{DesktopFullScreen};

// Set when the video driver was chosen here rather than asked for.
bool driverChosenHere = false;

bool StartsWithSlash(const char* variable)
{
    const char* value = std::getenv(variable);
    return value && value[0] == '/';
}

// The Wayland client library looks for a display in the runtime folder, and
// without one it says so on standard error before SDL tries the next
// driver: where no Wayland display can be found, SDL is not asked to try
// one, so that a missing display gets our line alone.
void PassOverUnreachableWayland()
{
    const char* asked = SDL_GetHint(SDL_HINT_VIDEODRIVER);
    if ((asked && *asked != '\0') || StartsWithSlash("XDG_RUNTIME_DIR") || StartsWithSlash("WAYLAND_DISPLAY")) {
        return;
    }
    const char* display = std::getenv("DISPLAY");
    // Above an empty SDL_VIDEODRIVER in the environment, which asks for nothing.
    SDL_SetHintWithPriority(SDL_HINT_VIDEODRIVER, display && *display != '\0' ? "x11" : "offscreen",
                            SDL_HINT_OVERRIDE);
    driverChosenHere = true;
}

// SDL falls back to its offscreen driver when it finds no display: a show
// played full screen there would be seen by no one, unless that driver was
// asked for.
bool FellBackToNoScreen()
{
    const char* driver = SDL_GetCurrentVideoDriver();
    const char* asked = SDL_GetHint(SDL_HINT_VIDEODRIVER);
    return driver && std::string(driver) == "offscreen" && (!asked || *asked == '\0' || driverChosenHere);
}

struct Size {
    int width;
    int height;
};

// The desktop's size, which a full-screen window takes: made that size from
// the start, it fills the screen even where no window manager resizes it.
// Without a screen, the size asked for.
Size ScreenSize(unsigned askedWidth, unsigned askedHeight)
{
    const char* driver = SDL_GetCurrentVideoDriver();
    SDL_DisplayMode desktop{};
    if ((driver && std::string(driver) == "offscreen") || SDL_GetDesktopDisplayMode(0, &desktop) != 0 ||
        desktop.w <= 0 || desktop.h <= 0) {
        return Size{static_cast<int>(askedWidth), static_cast<int>(askedHeight)};
    }
    return Size{desktop.w, desktop.h};
}

constexpr char kWithoutDisplay[] = "--render OUT, or SDL_VIDEODRIVER=offscreen, plays without one";

// Keys with a key-down further up the queue, met while walking it in order.
using KeysQueued = std::array<bool, 256>;

// SDL queues one key-down per auto-repeat, and one event is handled per
// frame: at a low frame rate a held key would keep Escape and a quit request
// waiting for seconds. A repeat behind a queued key-down of the same key
// adds nothing, so it is dropped.
int KeepUnlessQueuedRepeat(void* userdata, SDL_Event* event)
{
    KeysQueued& queued = *static_cast<KeysQueued*>(userdata);
    if (event->type != SDL_KEYDOWN && event->type != SDL_KEYUP) {
        return 1;
    }
    const uint8_t key = VirtualKeyOf(event->key.keysym.sym);
    if (event->type == SDL_KEYUP) {
        queued[key] = false;
        return 1;
    }
    if (event->key.repeat != 0 && queued[key]) {
        return 0;
    }
    queued[key] = true;
    return 1;
}

}  // namespace

void SetFullScreenFunction(FullScreenFunction function)
{
    fullScreenFunction.store(function ? function : DesktopFullScreen);
}

int Window::Create(unsigned requestedWidth, unsigned requestedHeight, bool requestedFullscreen,
                   const std::string& requestedTitle)
{
    width = requestedWidth;
    height = requestedHeight;
    title = requestedTitle;
    fullscreen = requestedFullscreen ? 1 : 0;
    failure.clear();
    PassOverUnreachableWayland();
    if (SDL_InitSubSystem(SDL_INIT_VIDEO) != 0) {
        failure = "no display found (" + std::string(SDL_GetError()) + "); " + kWithoutDisplay;
        return -1;
    }
    if (fullscreen && FellBackToNoScreen()) {
        failure = std::string("no display found; ") + kWithoutDisplay;
        return -1;
    }
    // From here on the display is in use: should it go away, the player ends.
    EndWhenTheDisplayGoesAway();
    IgnoreUnreadEvents();
    // A window goes full screen only once it is shown: a hidden one would
    // report a switch that never happened.
    const Uint32 flags = SDL_WINDOW_OPENGL | (fullscreen ? 0u : SDL_WINDOW_HIDDEN | SDL_WINDOW_RESIZABLE);
    const Size size = fullscreen ? ScreenSize(width, height) : Size{static_cast<int>(width), static_cast<int>(height)};
    handle.reset(SDL_CreateWindow(title.c_str(), 0, 0, size.width, size.height, flags));
    if (!handle) {
        failure = "cannot open a window (" + std::string(SDL_GetError()) + ")";
        return -1;
    }
    if (fullscreen) {
        if (fullScreenFunction.load()(handle.get()) != 0) {
            ShowMessageBox("ERROR", "Can't set mode to fullscreen");
            failure = "the window cannot go full screen; --windowed plays in a window";
            handle.reset();
            return -2;
        }
        int w = 0;
        int h = 0;
        SDL_GetWindowSize(handle.get(), &w, &h);
        if (w > 0 && h > 0) {
            width = static_cast<unsigned>(w);
            height = static_cast<unsigned>(h);
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
    SDL_PumpEvents();
    KeysQueued queued{};
    SDL_FilterEvents(KeepUnlessQueuedRepeat, &queued);
    SDL_Event event;
    if (SDL_PeepEvents(&event, 1, SDL_GETEVENT, SDL_FIRSTEVENT, SDL_LASTEVENT) == 1) {
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
