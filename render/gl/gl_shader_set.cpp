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

}  // namespace

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
    }
    pipeline_ = NewPipeline();
    return 0;
}

ShaderSet::Recompiled ShaderSet::Recompile(const std::string& fileName, std::string* error)
{
    for (int slot = 0; slot < kShaderCount; ++slot) {
        if (fileName == kShaderFiles[slot].name) {
            // A program that fails to compile keeps the one it had.
            return programs_[slot].CompileFile(fileName, kShaderFiles[slot].stage, error) ? Recompiled::kSwapped
                                                                                           : Recompiled::kFailed;
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
