#pragma once
// Live editing's side of the renderer: a shader file compiled again and
// swapped in, a mesh or material whose contents were replaced uploaded again
// in place. Main thread, between frames.

#include <string>

struct Material;
struct Mesh;

// What a shader file's recompiling did.
enum class ShaderRecompiled { kNotAShaderFile, kSwapped, kFailed };

class LiveReload {
public:
    virtual ~LiveReload() = default;

    // A shader file of the renderer's (a bare file name) is compiled again and
    // put in its program's place; when it does not compile the old program
    // stays and *error holds the compiler's text.
    virtual ShaderRecompiled RecompileShader(const std::string& fileName, std::string* error) = 0;
    // The GPU copy made again from the record's current contents, in place:
    // instances keep drawing it. -1 when it was never created (or, for a
    // mesh, its vertex buffer cannot be built).
    virtual int ReloadMesh(Mesh* mesh) = 0;
    virtual int ReloadMaterial(Material* material) = 0;
};
