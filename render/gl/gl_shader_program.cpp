#include "render/gl/gl_shader_program.h"

#include "core/file_read.h"

namespace {

bool IsSamplerType(GLenum type)
{
    switch (type) {
    case GL_SAMPLER_2D:
    case GL_SAMPLER_CUBE:
    case GL_SAMPLER_3D:
    case GL_SAMPLER_2D_SHADOW:
    case GL_SAMPLER_CUBE_SHADOW:
        return true;
    default:
        return false;
    }
}

}  // namespace

bool ShaderProgram::CompileFile(const std::string& fileName, Stage stage, std::string* error)
{
    fileName_ = fileName;
    stage_ = stage;
    FileBytes file;
    if (!ReadWholeFile(fileName, file)) {
        *error = fileName + ": cannot open the file";
        return false;
    }
    const std::string source(reinterpret_cast<const char*>(file.data.get()), file.size);
    const char* text = source.c_str();
    GlProgram program(
        glCreateShaderProgramv(stage == Stage::kVertex ? GL_VERTEX_SHADER : GL_FRAGMENT_SHADER, 1, &text));
    GLint linked = GL_FALSE;
    glGetProgramiv(program.get(), GL_LINK_STATUS, &linked);
    if (!linked) {
        GLint length = 0;
        glGetProgramiv(program.get(), GL_INFO_LOG_LENGTH, &length);
        std::string log(static_cast<size_t>(length > 0 ? length : 1), '\0');
        glGetProgramInfoLog(program.get(), static_cast<GLsizei>(log.size()), nullptr, log.data());
        log.resize(log.find('\0') == std::string::npos ? log.size() : log.find('\0'));
        *error = fileName + ":\n" + log;
        return false;
    }
    program_ = std::move(program);
    constants_.clear();
    return true;
}

const ShaderProgram::Constant* ShaderProgram::Find(const char* name)
{
    auto cached = constants_.find(name);
    if (cached == constants_.end()) {
        Constant constant;
        constant.location = glGetUniformLocation(program_.get(), name);
        if (constant.location >= 0) {
            const GLuint index = glGetProgramResourceIndex(program_.get(), GL_UNIFORM, name);
            const GLenum property = GL_TYPE;
            GLint type = 0;
            glGetProgramResourceiv(program_.get(), GL_UNIFORM, index, 1, &property, 1, nullptr, &type);
            constant.sampler = IsSamplerType(static_cast<GLenum>(type));
            if (constant.sampler) {
                glGetUniformiv(program_.get(), constant.location, &constant.unit);
            }
        }
        cached = constants_.emplace(name, constant).first;
    }
    return cached->second.location >= 0 ? &cached->second : nullptr;
}

bool ShaderProgram::SetMatrix(const char* name, const Matrix4& value)
{
    // Row-major with row vectors, read by the shader as column-major with
    // column vectors: the same transform, no transposition needed.
    const Constant* constant = Find(name);
    if (!constant || constant->sampler) {
        return false;
    }
    glProgramUniformMatrix4fv(program_.get(), constant->location, 1, GL_FALSE, &value.m[0][0]);
    return true;
}

bool ShaderProgram::SetVector(const char* name, float x, float y, float z, float w)
{
    const Constant* constant = Find(name);
    if (!constant || constant->sampler) {
        return false;
    }
    glProgramUniform4f(program_.get(), constant->location, x, y, z, w);
    return true;
}

bool ShaderProgram::SetFloat(const char* name, float value)
{
    const Constant* constant = Find(name);
    if (!constant || constant->sampler) {
        return false;
    }
    glProgramUniform1f(program_.get(), constant->location, value);
    return true;
}

bool ShaderProgram::SetVec2(const char* name, float x, float y)
{
    const Constant* constant = Find(name);
    if (!constant || constant->sampler) {
        return false;
    }
    glProgramUniform2f(program_.get(), constant->location, x, y);
    return true;
}

bool ShaderProgram::BindSampler(const char* name, GLuint texture)
{
    const Constant* constant = Find(name);
    if (!constant || !constant->sampler) {
        return false;
    }
    glBindTextureUnit(static_cast<GLuint>(constant->unit), texture);
    return true;
}
