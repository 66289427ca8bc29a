#include "runtime/runtime_state.h"

namespace {
std::atomic<RenderInterface*> theRenderer{nullptr};
std::atomic<int> viewportWidth{0};
std::atomic<int> viewportHeight{0};
}  // namespace

float frameDeltaMs = 0.0f;
float demoTime = 0.0f;
std::atomic<bool> musicStarted{false};
std::atomic<bool> quitRequested{false};

EngineCamera* editorCamera = nullptr;
EngineCamera* activeCamera = nullptr;
EngineCamera* sceneCamera = nullptr;
bool freeCameraMode = false;

RenderInterface* GetRenderer()
{
    return theRenderer.load(std::memory_order_acquire);
}

void SetRenderer(RenderInterface* renderer)
{
    theRenderer.store(renderer, std::memory_order_release);
}

void GetViewportSize(int* width, int* height)
{
    if (width) {
        *width = viewportWidth.load();
    }
    if (height) {
        *height = viewportHeight.load();
    }
}

void SetViewportSize(int width, int height)
{
    viewportWidth.store(width);
    viewportHeight.store(height);
}

void SetSceneCamera(EngineCamera* camera)
{
    if (freeCameraMode || !camera) {
        return;
    }
    activeCamera = camera;
    sceneCamera = camera;
}
