#pragma once
// The checker's compile step for the shader files: where an OpenGL 4.5
// context can be made (a display, or SDL's offscreen driver), each file is
// compiled as the renderer compiles it, and the compiler's messages become
// findings at their lines.

#include "check/diagnostics.h"

// False, with nothing checked, when no context can be made.
bool CompileShaderFiles(Diagnostics& found);
