#pragma once
// The window and the renderer, made as one unit at start-up.

#include <string>

#include "render/show_renderer.h"

class Window;

// The picture the overlays are laid out on, whatever the window's size.
inline constexpr unsigned kLayoutWidth = 1920;
inline constexpr unsigned kLayoutHeight = 1080;

// 0, with the window and the renderer published; -1 (logged "add vport
// failed " and the code, and why on standard error) when either cannot be
// made. The renderer is made with makeRenderer once the window exists. In
// full screen the window has the screen's size and the picture is drawn at
// width x height, scaled to fit it.
int SetupViewport(const ShowRendererMaker& makeRenderer, const std::string& name, unsigned width, unsigned height,
                  bool fullscreen);
// Shuts the renderer down and destroys it and the window; nothing without a
// viewport. The viewport lives until this is called: nothing of it is left
// for exit() to tear down.
void ShutdownViewport();
// The window and the renderer the viewport made; null before and after.
Window* ViewportWindow();
ShowRenderer* ViewportRenderer();
