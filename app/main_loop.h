#pragma once
// The frame loop on the main thread, the keys it acts on and the free camera.

#include <cstdint>

class LiveEdit;
class Show;
class Window;

// Runs frames until the demo quits, then shuts the renderer and window down.
// With live editing, changed files take effect between frames and the keys
// that move through the show act.
void MainLoop(Show& show, LiveEdit* liveEdit = nullptr);

// What one typed character does: 'p' (P or F1) toggles the free camera,
// Escape quits; anything else is ignored.
void HandleTypedChar(uint8_t c);
// The free camera follows the mouse (relative to the window centre, given
// here) and the W and S keys, until the music starts.
void SteerFreeCamera(const Window& window, int dx, int dy);
