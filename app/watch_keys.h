#pragma once
// The keys that move through the show while its files are watched: Space
// pauses and resumes, Left and Right jump a few seconds back or forward,
// Home returns to the point the show was started from.

#include <cstdint>

class Show;

enum class WatchKey { kNone, kPauseOrResume, kBack, kForward, kToStart };

// How far Left and Right jump, seconds.
constexpr double kWatchJumpSeconds = 5.0;

// What a pressed key (a virtual-key code) does; kNone for other keys.
WatchKey WatchKeyFor(uint8_t virtualKey);
// The show time a jump key leads to from `now`, never before 0; `now` for
// keys that do not jump.
double WatchJumpTarget(WatchKey key, double now, double startSeconds);
// Does what the key says to the show. True when a jump met the exit event:
// the show ends.
[[nodiscard]] bool ApplyWatchKey(WatchKey key, Show& show);
