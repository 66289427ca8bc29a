#pragma once
// The checker's compile step for the shader files: where an OpenGL 4.5
// context can be made (a display, or SDL's offscreen driver), each file is
// compiled as the renderer compiles it, and the compiler's messages become
// findings at their lines. The context also tells how large a texture may be.

#include "check/diagnostics.h"
#include "check/scene_context.h"
#include "render/shader_compiler.h"

// What the context allows; nothing known (and nothing checked) when no
// context can be made. The compiler comes from the graphics back end.
GraphicsFacts CompileShaderFiles(Diagnostics& found, const ShaderCompilerMaker& makeCompiler);
