#pragma once
// A display that goes away while the player runs (its X server stopped or
// crashed, the session ended, a forwarded display dropped) ends the player
// at once, with one line on standard error and exit code 1.

// The line, as written.
inline constexpr char kDisplayWentAway[] = "demoplayer: the display went away\n";

// Under SDL's X11 driver, once the video subsystem has opened the display:
// Xlib's handler for a lost connection becomes ours. Xlib's own calls
// exit(), which runs whatever teardown is left against a connection that is
// gone and can wait on it for ever. Under any other driver nothing changes.
// True when the handler is in place.
bool EndWhenTheDisplayGoesAway();
