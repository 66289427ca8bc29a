#pragma once
// The files a production needs besides its scene: the meshes and textures the
// scene names, the music and the shader files. Findings about a file's
// content are given under the file's name; a file that cannot be read is
// reported at the scene entry that names it.

#include <optional>
#include <string>
#include <vector>

#include "check/scene_context.h"

void CheckMeshFiles(SceneContext& context);
void CheckMaterialFiles(SceneContext& context);
// The music's length in seconds; nothing (reported) when it is missing or
// cannot be decoded.
std::optional<double> CheckMusic(const std::string& path, Diagnostics& found);
// The shader files the renderer compiles at start-up, in its order.
const std::vector<std::string>& ShaderFileNames();
// Each must be there and hold text.
void CheckShaderFiles(Diagnostics& found);
