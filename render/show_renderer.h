#pragma once
// The renderer the player draws its show with: the render interface, and
// beside it the picture's settings, frame capture for recordings and live
// reloading for --watch. The program's entry point makes one (on OpenGL)
// and hands it to the viewport; the tests use the null one.

#include <functional>
#include <memory>
#include <string>

#include "render/frame_capture.h"
#include "render/live_reload.h"
#include "render/picture_settings.h"
#include "render/render_interface.h"

class ShowRenderer : public RenderInterface, public PictureSettings, public FrameCapture, public LiveReload {
public:
    // Why Init failed, in words for the user; empty after a success.
    virtual const std::string& InitFailure() const = 0;
};

// Makes a renderer, not yet initialised.
using ShowRendererMaker = std::function<std::unique_ptr<ShowRenderer>()>;
