#include "app/watch_keys.h"

#include <algorithm>

#include "app/show.h"
#include "platform/keys.h"

WatchKey WatchKeyFor(uint8_t virtualKey)
{
    switch (virtualKey) {
    case kKeySpace: return WatchKey::kPauseOrResume;
    case kKeyLeft: return WatchKey::kBack;
    case kKeyRight: return WatchKey::kForward;
    case kKeyHome: return WatchKey::kToStart;
    default: return WatchKey::kNone;
    }
}

double WatchJumpTarget(WatchKey key, double now, double startSeconds)
{
    switch (key) {
    case WatchKey::kBack: return std::max(0.0, now - kWatchJumpSeconds);
    case WatchKey::kForward: return now + kWatchJumpSeconds;
    case WatchKey::kToStart: return startSeconds;
    default: return now;
    }
}

bool ApplyWatchKey(WatchKey key, Show& show)
{
    if (key == WatchKey::kNone) {
        return false;
    }
    if (key == WatchKey::kPauseOrResume) {
        show.TogglePause();
        return false;
    }
    return show.JumpTo(WatchJumpTarget(key, show.State().demoTime, show.StartSeconds()));
}
