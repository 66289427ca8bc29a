#include "app/viewport.h"

#include <cstdio>
#include <memory>

#include "core/log.h"
#include "platform/window.h"

namespace {

// Besides the log line: one line on standard error that the user can act on.
void TellWhyStartUpFailed(const std::string& reason)
{
    std::fprintf(stderr, "demoplayer: cannot start: %s\n", reason.c_str());
    std::fflush(stderr);
}

}  // namespace

Viewport::Viewport() = default;

Viewport::~Viewport()
{
    Shutdown();
}

int Viewport::Setup(const ShowRendererMaker& makeRenderer, const std::string& name, unsigned width, unsigned height,
                    bool fullscreen)
{
    auto window = std::make_unique<Window>();
    const int created = window->Create(width, height, fullscreen, name);
    if (created != 0) {
        // Nothing to render into: stop here rather than hand the renderer a
        // window without a handle.
        Log("add vport failed ", created);
        TellWhyStartUpFailed(window->failure);
        return -1;
    }
    std::unique_ptr<ShowRenderer> renderer = makeRenderer ? makeRenderer() : nullptr;
    if (!renderer) {
        Log("add vport failed ", -2);
        TellWhyStartUpFailed("no renderer to draw with");
        return -1;  // the window goes with this function
    }
    renderer->SetLayoutSize(kLayoutWidth, kLayoutHeight);
    // In full screen the window has the screen's size: the picture is drawn
    // at the size asked for and scaled to fit it.
    renderer->SetPictureSize(width, height);
    // Until the show begins, frames show the loading text and nothing of the
    // scene that is being loaded.
    renderer->SetSceneShown(false);
    const int result = renderer->Init(window.get());
    if (result != 0) {
        Log("add vport failed ", result);
        TellWhyStartUpFailed(renderer->InitFailure());
        return -1;  // the renderer goes first, then the window
    }
    Shutdown();  // a viewport made before goes first
    window_ = std::move(window);
    renderer_ = std::move(renderer);
    SetRenderer(renderer_.get());
    return 0;
}

void Viewport::Shutdown()
{
    if (!renderer_) {
        return;
    }
    renderer_->Shutdown();
    SetRenderer(nullptr);
    renderer_.reset();  // the renderer goes first, then the window
    window_->Destroy();
    window_.reset();
}
