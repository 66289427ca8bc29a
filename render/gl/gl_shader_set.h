#pragma once
// The shader files the renderer compiles at start-up, each a program of one
// stage, the handles of the constants the frame and the overlays set in each,
// and the program pipeline that binds a vertex and a pixel program together
// for a draw.

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

// The constants a frame sets, each found once in a program as it is built.
// A name the program lacks stays an invalid handle: setting it sets nothing.
struct FrameConstants {
    // The mesh vertex shaders (and the line sets' and 3D primitives').
    ConstantHandle proj, worldView, modelMat, normalMat, lightPosUT;
    // The geometry pass's pixel shader: the material's pictures.
    ConstantHandle normalMap, diffuseMap;
    // The lighting pixel shader (lightPosUT above too).
    ConstantHandle camPos, viewInverse, projectionTerms, normalPass, depthPass;
    ConstantHandle lightCount, lightCol, lightCutoff, shadowMap;
    // The composition pixel shader.
    ConstantHandle resX, resY, diffusePass, lightingPass, specularPass;
    // The screen-space vertex shader and the text pixel shader.
    ConstantHandle screenSize, colour, atlas;

    // Every name found in the program as it is built now.
    static FrameConstants Of(const ShaderProgram& program);
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
    // and puts the new program in its slot, with its constants found anew.
    // When it does not compile the old program stays and *error holds the
    // compiler's text. Main thread.
    Recompiled Recompile(const std::string& fileName, std::string* error);

    ShaderProgram& operator[](ShaderSlot slot) { return programs_[slot]; }
    // The handles of the program now in the slot; they follow it when it is
    // compiled again.
    const FrameConstants& Constants(ShaderSlot slot) const { return constants_[slot]; }

    // Binds the pipeline, with no monolithic program in use.
    void Bind();
    void Use(ShaderSlot vertex, ShaderSlot pixel);
    void UseVertex(ShaderSlot vertex);

private:
    std::array<ShaderProgram, kShaderCount> programs_;
    std::array<FrameConstants, kShaderCount> constants_;
    GlPipeline pipeline_;
    std::string failure_;
};
