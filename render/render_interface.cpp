#include "render/render_interface.h"

#include "runtime/log.h"

RenderInterface::RenderInterface()
{
    LogLine("ri ctor");
}

RenderInterface::~RenderInterface()
{
    LogLine("ri dtor");
}
