#include "runtime/runtime_state.h"

#include <atomic>

namespace {
std::atomic<RenderInterface*> theRenderer{nullptr};
}

float frameDeltaMs = 0.0f;
float demoTime = 0.0f;

RenderInterface* GetRenderer()
{
    return theRenderer.load(std::memory_order_acquire);
}

void SetRenderer(RenderInterface* renderer)
{
    theRenderer.store(renderer, std::memory_order_release);
}
