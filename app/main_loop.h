#pragma once
// The frame loop on the main thread, the keys it acts on and the free camera.

#include <cstdint>

class LiveEdit;
class RenderInterface;
class ShowRenderer;
struct LoadingState;
class Show;
class Window;
struct ShowState;

// Marks the main loop as running, so that the loading thread may show its
// text from now on, and takes down any text shown before.
void TakeOverLoadingText(LoadingState& loading, RenderInterface& renderer);
// One frame: the show starts here, on the main thread, once the loading
// thread has loaded the scene; then the clock, the keys, the world and the
// picture. True when the demo is to quit after it: Escape, a close request,
// the exit event, the show's end point, or a failed recording asked for it.
[[nodiscard]] bool RunFrame(Window& window, ShowRenderer& renderer, Show& show, LiveEdit* liveEdit = nullptr);

// Runs frames until the demo quits (one of them asks to, or a stop is
// requested), then shuts the renderer and window down. The show's
// quitRequested is set then, for the loading thread to see. With live
// editing, changed files take effect between frames and the keys that move
// through the show act.
void MainLoop(Show& show, LiveEdit* liveEdit = nullptr);

// What one typed character does: 'p' (P or F1) toggles the free camera
// (and puts the cursor in the middle of the window, when there is one);
// Escape asks to quit (true); anything else is ignored.
[[nodiscard]] bool HandleTypedChar(ShowState& show, uint8_t c, Window* window = nullptr);
// The free camera follows the mouse (relative to the window centre, given
// here) and the W and S keys, before and while the show plays.
void SteerFreeCamera(ShowState& show, const Window& window, int dx, int dy);
