#pragma once
// The shader files the renderer compiles at start-up, each a program of one
// stage, and the program pipeline that binds a vertex and a pixel program
// together for a draw.

#include <array>
#include <string>

#include "render/gl/gl_objects.h"
#include "render/gl/gl_shader_program.h"

// The shader files, in the order they are compiled.
enum ShaderSlot : int {
    kDiffuseShader,
    kLightingShader,
    kGeometryShader,
    kGeometryLinesShader,
    kMeshShader,
    kDeferredShader,
    kFlat2dShader,
    kDepthShader,
    kOverlayShader,
    kPrim3dShader,
    kMeshSimpleShader,
    kMeshLinesShader,
    kTextShader,
    kShaderCount,
};

class ShaderSet {
public:
    // Compiles every file in slot order. The first failure shows a box titled
    // "VShaderFailed" (vertex) or "PShaderError" (pixel) with the compiler's
    // text and gives -1; the files after it are not compiled.
    int Compile();
    // After a failed Compile: which file failed and the first line of why.
    const std::string& Failure() const { return failure_; }

    // What Recompile did with a file.
    enum class Recompiled { kNotAShaderFile, kSwapped, kFailed };
    // Compiles the file again if it is one of the set's (a bare file name)
    // and puts the new program in its slot. When it does not compile the old
    // program stays and *error holds the compiler's text. Main thread.
    Recompiled Recompile(const std::string& fileName, std::string* error);

    ShaderProgram& operator[](ShaderSlot slot) { return programs_[slot]; }

    // Binds the pipeline, with no monolithic program in use.
    void Bind();
    void Use(ShaderSlot vertex, ShaderSlot pixel);
    void UseVertex(ShaderSlot vertex);

private:
    std::array<ShaderProgram, kShaderCount> programs_;
    GlPipeline pipeline_;
    std::string failure_;
};
