#pragma once
// The frame loop on the main thread, the keys it acts on and the free camera.

#include <cstdint>

class LiveEdit;
class RenderInterface;
class Show;
class Window;

// Marks the main loop as running, so that the loading thread may show its
// text from now on, and takes down any text shown before.
void TakeOverLoadingText(RenderInterface& renderer);
// One frame: the show starts here, on the main thread, once the loading
// thread has loaded the scene; then the clock, the keys, the world and the
// picture.
void RunFrame(Window& window, RenderInterface& renderer, Show& show, LiveEdit* liveEdit = nullptr);

// Runs frames until the demo quits, then shuts the renderer and window down.
// With live editing, changed files take effect between frames and the keys
// that move through the show act.
void MainLoop(Show& show, LiveEdit* liveEdit = nullptr);

// What one typed character does: 'p' (P or F1) toggles the free camera,
// Escape quits; anything else is ignored.
void HandleTypedChar(uint8_t c);
// The free camera follows the mouse (relative to the window centre, given
// here) and the W and S keys, before and while the show plays.
void SteerFreeCamera(const Window& window, int dx, int dy);
