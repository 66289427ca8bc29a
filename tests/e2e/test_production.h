#pragma once
// A small production written into a directory: the shader files, a cube
// model and textures made with our content tools (one without a normal map),
// music and a scene that uses every actor class and ends itself with an
// "exit" event.

#include <filesystem>
#include <string>

struct ProductionOptions {
    bool music = true;
    int musicSeconds = 4;
    float exitTime = 2.0f;
    // Extra copies of a large model in the meshes section, to make loading long.
    int heavyMeshes = 0;
};

void WriteTestProduction(const std::filesystem::path& directory, const ProductionOptions& options);
