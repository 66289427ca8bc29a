#include "render/render_interface.h"

#include <atomic>

#include "core/log.h"

namespace {
std::atomic<RenderInterface*> theRenderer{nullptr};
}  // namespace

RenderInterface::RenderInterface()
{
    LogLine("ri ctor");
}

RenderInterface::~RenderInterface()
{
    LogLine("ri dtor");
}

RenderInterface* GetRenderer()
{
    return theRenderer.load(std::memory_order_acquire);
}

void SetRenderer(RenderInterface* renderer)
{
    theRenderer.store(renderer, std::memory_order_release);
}
