#include "platform/display_loss.h"

#include <SDL.h>
#include <dlfcn.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

namespace {

constexpr int kExitCode = 1;

// Xlib's handler and the call that installs it, as the library declares
// them (the display is passed as an opaque pointer): its headers are not
// ours to include, and it is not linked, only found where SDL loaded it.
using IoErrorHandler = int (*)(void* display);
using SetIoErrorHandler = IoErrorHandler (*)(IoErrorHandler handler);

// Called by Xlib, on whichever thread found the connection lost, perhaps
// with its own locks held; it must not return. So only calls that are safe
// anywhere: write the line, and end the process without exit()'s teardown.
[[noreturn]] int EndOnLostDisplay(void*)
{
    const char* rest = kDisplayWentAway;
    size_t left = sizeof(kDisplayWentAway) - 1;
    while (left > 0) {
        const ssize_t written = ::write(STDERR_FILENO, rest, left);
        if (written < 0 && errno == EINTR) {
            continue;
        }
        if (written <= 0) {
            break;
        }
        rest += written;
        left -= static_cast<size_t>(written);
    }
    ::_exit(kExitCode);
}

}  // namespace

bool EndWhenTheDisplayGoesAway()
{
    const char* driver = SDL_GetCurrentVideoDriver();
    if (!driver || std::strcmp(driver, "x11") != 0) {
        return false;
    }
    // Only the Xlib that SDL's X11 driver loaded: never a copy of our own.
    void* xlib = ::dlopen("libX11.so.6", RTLD_NOLOAD | RTLD_LAZY);
    if (!xlib) {
        return false;
    }
    SetIoErrorHandler install = nullptr;
    void* symbol = ::dlsym(xlib, "XSetIOErrorHandler");
    static_assert(sizeof(symbol) == sizeof(install));
    std::memcpy(&install, &symbol, sizeof(install));
    if (install) {
        install(EndOnLostDisplay);
    }
    // Drops the reference taken here; SDL holds its own.
    ::dlclose(xlib);
    return install != nullptr;
}
