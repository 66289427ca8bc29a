#include "runtime/viewport.h"

#include <memory>

#include "render/renderer_gl.h"
#include "runtime/demo_state.h"
#include "runtime/log.h"
#include "runtime/runtime_state.h"
#include "runtime/window.h"

int SetupViewport(const std::string& name, unsigned width, unsigned height, bool fullscreen)
{
    auto window = std::make_unique<Window>();
    const int created = window->Create(width, height, fullscreen, name);
    if (created != 0) {
        // Nothing to render into: stop here rather than hand the renderer a
        // window without a handle.
        Log("add vport failed ", created);
        window->Destroy();
        return -1;
    }
    auto renderer = std::make_unique<RendererGL>();
    const int result = renderer->Init(window.get());
    if (result != 0) {
        Log("add vport failed ", result);
        renderer.reset();
        window->Destroy();
        return -1;
    }
    SetViewportSize(static_cast<int>(width), static_cast<int>(height));
    SetRenderer(renderer.release());
    TheDemoState().window = window.release();
    return 0;
}

void ShutdownViewport()
{
    if (RenderInterface* renderer = GetRenderer()) {
        renderer->Shutdown();
        SetRenderer(nullptr);
        delete renderer;
    }
    if (Window* window = TheDemoState().window) {
        window->Destroy();
        TheDemoState().window = nullptr;
        delete window;
    }
}
