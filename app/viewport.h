#pragma once
// The window and the renderer, made as one unit at start-up.

#include <memory>
#include <string>

#include "render/show_renderer.h"

class Window;

// The picture the overlays are laid out on, whatever the window's size.
inline constexpr unsigned kLayoutWidth = 1920;
inline constexpr unsigned kLayoutHeight = 1080;

// The show's window and renderer. Never a static object: exit(), which a
// library may call at any moment (Xlib does when its display goes away),
// would run its destructor, and with it SDL and GL calls against a display
// that may be gone or frozen, waiting for ever. The show keeps it.
class Viewport {
public:
    Viewport();
    Viewport(const Viewport&) = delete;
    Viewport& operator=(const Viewport&) = delete;
    ~Viewport();

    // 0, with the window and the renderer made and the renderer published
    // (GetRenderer); -1 (logged "add vport failed " and the code, and why on
    // standard error) when either cannot be made. The renderer is made with
    // makeRenderer once the window exists. In full screen the window has the
    // screen's size and the picture is drawn at width x height, scaled to
    // fit it. A viewport set up before is shut down first.
    int Setup(const ShowRendererMaker& makeRenderer, const std::string& name, unsigned width, unsigned height,
              bool fullscreen);
    // Shuts the renderer down and destroys it, then the window; nothing
    // when there is none.
    void Shutdown();
    // The window and the renderer; null before Setup and after Shutdown.
    Window* GetWindow() const { return window_.get(); }
    ShowRenderer* Renderer() const { return renderer_.get(); }

private:
    std::unique_ptr<Window> window_;
    std::unique_ptr<ShowRenderer> renderer_;
};
