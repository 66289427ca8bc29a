#pragma once
// What a graphics back end gives the program: the renderer the show is drawn
// with, and the shader compiler the production check uses.

#include "render/shader_compiler.h"
#include "render/show_renderer.h"

struct GraphicsBackend {
    ShowRendererMaker makeRenderer;
    ShaderCompilerMaker makeShaderCompiler;
};
