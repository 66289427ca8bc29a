#include "render/gl/gl_shader_set.h"

#include "platform/message_box.h"

namespace {

struct ShaderFile {
    const char* name;
    ShaderProgram::Stage stage;
};

constexpr ShaderFile kShaderFiles[kShaderCount] = {
    {"diffuse_shader.psh", ShaderProgram::Stage::kPixel},
    {"lighting_shader.psh", ShaderProgram::Stage::kPixel},
    {"gshader.psh", ShaderProgram::Stage::kPixel},
    {"gshader_nv.psh", ShaderProgram::Stage::kPixel},
    {"mesh_shader.vsh", ShaderProgram::Stage::kVertex},
    {"deffered_shader.psh", ShaderProgram::Stage::kPixel},
    {"2dflat_shader.psh", ShaderProgram::Stage::kPixel},
    {"depth_shader.psh", ShaderProgram::Stage::kPixel},
    {"ovrlay_shader.vsh", ShaderProgram::Stage::kVertex},
    {"prim3d_shader.vsh", ShaderProgram::Stage::kVertex},
    {"mesh_shader_simple.vsh", ShaderProgram::Stage::kVertex},
    {"mesh_shader_nv.vsh", ShaderProgram::Stage::kVertex},
    {"text_shader.psh", ShaderProgram::Stage::kPixel},
};

// The first line that says something of a failure's text, which starts
// with the file's name and a colon.
std::string FirstReason(const std::string& error, const std::string& fileName)
{
    size_t start = error.compare(0, fileName.size() + 1, fileName + ":") == 0 ? fileName.size() + 1 : 0;
    start = error.find_first_not_of(" \n", start);
    if (start == std::string::npos) {
        return "no reason given";
    }
    return error.substr(start, error.find('\n', start) - start);
}

// Each constant of the frame, by the name the shader files give it.
struct NamedConstant {
    const char* name;
    ConstantHandle FrameConstants::*handle;
};

constexpr NamedConstant kFrameConstantNames[] = {
    {"Proj", &FrameConstants::proj},
    {"WorldView", &FrameConstants::worldView},
    {"ModelMat", &FrameConstants::modelMat},
    {"NormalMat", &FrameConstants::normalMat},
    {"lightPosUT", &FrameConstants::lightPosUT},
    {"normalMap", &FrameConstants::normalMap},
    {"diffuseMap", &FrameConstants::diffuseMap},
    {"camPos", &FrameConstants::camPos},
    {"ViewInverse", &FrameConstants::viewInverse},
    {"projectionTerms", &FrameConstants::projectionTerms},
    {"normalPass", &FrameConstants::normalPass},
    {"depthPass", &FrameConstants::depthPass},
    {"lightCount", &FrameConstants::lightCount},
    {"lightCol", &FrameConstants::lightCol},
    {"lightCutoff", &FrameConstants::lightCutoff},
    {"shadowMap", &FrameConstants::shadowMap},
    {"resX", &FrameConstants::resX},
    {"resY", &FrameConstants::resY},
    {"diffusePass", &FrameConstants::diffusePass},
    {"lightingPass", &FrameConstants::lightingPass},
    {"specularPass", &FrameConstants::specularPass},
    {"screenSize", &FrameConstants::screenSize},
    {"colour", &FrameConstants::colour},
    {"atlas", &FrameConstants::atlas},
};

}  // namespace

FrameConstants FrameConstants::Of(const ShaderProgram& program)
{
    FrameConstants constants;
    for (const NamedConstant& constant : kFrameConstantNames) {
        constants.*constant.handle = program.Find(constant.name);
    }
    return constants;
}

int ShaderSet::Compile()
{
    for (int slot = 0; slot < kShaderCount; ++slot) {
        const ShaderFile& file = kShaderFiles[slot];
        std::string error;
        if (!programs_[slot].CompileFile(file.name, file.stage, &error)) {
            const bool vertex = file.stage == ShaderProgram::Stage::kVertex;
            ShowMessageBox(vertex ? "VShaderFailed" : "PShaderError", error);
            failure_ = "shader file " + std::string(file.name) + ": " + FirstReason(error, file.name);
            return -1;
        }
        constants_[slot] = FrameConstants::Of(programs_[slot]);
    }
    pipeline_ = NewPipeline();
    return 0;
}

ShaderSet::Recompiled ShaderSet::Recompile(const std::string& fileName, std::string* error)
{
    for (int slot = 0; slot < kShaderCount; ++slot) {
        if (fileName == kShaderFiles[slot].name) {
            // A program that fails to compile keeps the one it had, and its
            // constants stand.
            if (!programs_[slot].CompileFile(fileName, kShaderFiles[slot].stage, error)) {
                return Recompiled::kFailed;
            }
            constants_[slot] = FrameConstants::Of(programs_[slot]);
            return Recompiled::kSwapped;
        }
    }
    return Recompiled::kNotAShaderFile;
}

void ShaderSet::Bind()
{
    glUseProgram(0);
    glBindProgramPipeline(pipeline_.get());
}

void ShaderSet::Use(ShaderSlot vertex, ShaderSlot pixel)
{
    glUseProgramStages(pipeline_.get(), GL_VERTEX_SHADER_BIT, programs_[vertex].Program());
    glUseProgramStages(pipeline_.get(), GL_FRAGMENT_SHADER_BIT, programs_[pixel].Program());
}

void ShaderSet::UseVertex(ShaderSlot vertex)
{
    glUseProgramStages(pipeline_.get(), GL_VERTEX_SHADER_BIT, programs_[vertex].Program());
}
