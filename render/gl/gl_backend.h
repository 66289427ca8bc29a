#pragma once
// The OpenGL back end: the renderer on OpenGL 4.5 core and a shader compiler
// on a hidden context of its own.

#include "render/graphics_backend.h"

GraphicsBackend GlBackend();
