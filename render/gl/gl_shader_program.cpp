#include "render/gl/gl_shader_program.h"

#include <algorithm>
#include <atomic>
#include <set>
#include <vector>

#include "core/file_read.h"
#include "core/log.h"

namespace {

bool IsSamplerType(GLenum type)
{
    switch (type) {
    case GL_SAMPLER_1D:
    case GL_SAMPLER_2D:
    case GL_SAMPLER_3D:
    case GL_SAMPLER_CUBE:
    case GL_SAMPLER_2D_SHADOW:
    case GL_SAMPLER_CUBE_SHADOW:
    case GL_SAMPLER_2D_ARRAY:
    case GL_SAMPLER_2D_RECT:
        return true;
    default:
        return false;
    }
}

// Components of a float constant; 0 for any other type.
int FloatComponents(GLenum type)
{
    switch (type) {
    case GL_FLOAT:
        return 1;
    case GL_FLOAT_VEC2:
        return 2;
    case GL_FLOAT_VEC3:
        return 3;
    case GL_FLOAT_VEC4:
        return 4;
    default:
        return 0;
    }
}

bool TakesFloats(GLenum type)
{
    return FloatComponents(type) > 0;
}

bool TakesMatrix(GLenum type)
{
    return type == GL_FLOAT_MAT4 || type == GL_FLOAT_MAT3;
}

bool TakesTexture(GLenum type)
{
    return IsSamplerType(type);
}

// A stamp for a new build of any program; 0 stays "none".
uint32_t NextBuild()
{
    static std::atomic<uint32_t> last{0};
    uint32_t build = ++last;
    if (build == 0) {
        build = ++last;  // wrapped after four billion builds
    }
    return build;
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
    ReadConstants();
    return true;
}

void ShaderProgram::ReadConstants()
{
    constants_.clear();
    indexByName_.clear();
    build_ = NextBuild();
    GLint count = 0;
    glGetProgramInterfaceiv(program_.get(), GL_UNIFORM, GL_ACTIVE_RESOURCES, &count);
    std::vector<std::string> samplers;
    for (GLint index = 0; index < count; ++index) {
        const GLenum properties[] = {GL_TYPE, GL_LOCATION, GL_NAME_LENGTH, GL_ARRAY_SIZE};
        GLint values[4] = {};
        glGetProgramResourceiv(program_.get(), GL_UNIFORM, static_cast<GLuint>(index), 4, properties, 4, nullptr,
                               values);
        if (values[1] < 0) {
            continue;  // a member of a uniform block: not a constant of the table
        }
        std::string name(static_cast<size_t>(std::max(values[2], 1)), '\0');
        glGetProgramResourceName(program_.get(), GL_UNIFORM, static_cast<GLuint>(index),
                                 static_cast<GLsizei>(name.size()), nullptr, name.data());
        name.resize(name.find('\0') == std::string::npos ? name.size() : name.find('\0'));
        if (name.size() > 3 && name.compare(name.size() - 3, 3, "[0]") == 0) {
            name.resize(name.size() - 3);  // an array is set from its first element
        }
        Constant constant;
        constant.type = static_cast<GLenum>(values[0]);
        constant.location = values[1];
        constant.elements = std::max(values[3], 1);
        constant.sampler = IsSamplerType(constant.type);
        if (constant.sampler) {
            glGetUniformiv(program_.get(), constant.location, &constant.unit);
            samplers.push_back(name);
        }
        if (indexByName_.emplace(name, static_cast<uint32_t>(constants_.size())).second) {
            constant.name = std::move(name);
            constants_.push_back(std::move(constant));
        }
    }
    // Every sampler gets units of its own, one for each element of an array,
    // in a row. Units claimed by an earlier sampler (every sampler of a file
    // without bindings says 0) give way to the lowest free ones.
    std::sort(samplers.begin(), samplers.end());
    std::set<GLint> taken;
    const auto free = [&taken](GLint first, GLint count) {
        for (GLint unit = first; unit < first + count; ++unit) {
            if (taken.count(unit) != 0) {
                return false;
            }
        }
        return true;
    };
    for (const std::string& name : samplers) {
        Constant& sampler = constants_[indexByName_.at(name)];
        const GLint count = sampler.elements;
        const bool moved = !free(sampler.unit, count);
        if (moved) {
            sampler.unit = 0;
            while (!free(sampler.unit, count)) {
                ++sampler.unit;
            }
        }
        for (GLint unit = sampler.unit; unit < sampler.unit + count; ++unit) {
            taken.insert(unit);
        }
        if (moved || count > 1) {
            std::vector<GLint> units(static_cast<size_t>(count));
            for (GLint i = 0; i < count; ++i) {
                units[static_cast<size_t>(i)] = sampler.unit + i;
            }
            glProgramUniform1iv(program_.get(), sampler.location, count, units.data());
        }
    }
}

ConstantHandle ShaderProgram::Find(std::string_view name) const
{
    const auto found = indexByName_.find(name);
    if (found == indexByName_.end()) {
        return {};  // not declared, or not used by the shader: skipped
    }
    return ConstantHandle(build_, found->second);
}

ShaderProgram::Constant* ShaderProgram::Accepting(ConstantHandle handle, const char* kind,
                                                  bool (*accepts)(GLenum type))
{
    if (!Holds(handle) || handle.index_ >= constants_.size()) {
        return nullptr;  // no such constant, or one of another build
    }
    Constant& constant = constants_[handle.index_];
    if (accepts(constant.type)) {
        return &constant;
    }
    if (!constant.mismatchLogged) {
        constant.mismatchLogged = true;
        Problem("Shader constant ", constant.name, " of ", fileName_, " cannot take a ", kind);
    }
    return nullptr;
}

bool ShaderProgram::SetArray(ConstantHandle handle, const float* values, int elements, int stride)
{
    return SetFloats(handle, "float array", values, elements, stride);
}

bool ShaderProgram::SetFloats(ConstantHandle handle, const char* kind, const float* values, int elements,
                              int stride)
{
    const Constant* constant = Accepting(handle, kind, TakesFloats);
    if (!constant || elements <= 0 || stride <= 0) {
        return false;
    }
    const int components = std::max(FloatComponents(constant->type), 1);
    const int count = std::min(elements, constant->elements);
    std::vector<float>& packed = packed_;  // kept between calls: no allocation per frame
    packed.assign(static_cast<size_t>(count * components), 0.0f);
    for (int i = 0; i < count; ++i) {
        std::copy(values + i * stride, values + i * stride + std::min(stride, components),
                  packed.begin() + i * components);
    }
    const GLuint program = program_.get();
    switch (components) {
    case 1:
        glProgramUniform1fv(program, constant->location, count, packed.data());
        break;
    case 2:
        glProgramUniform2fv(program, constant->location, count, packed.data());
        break;
    case 3:
        glProgramUniform3fv(program, constant->location, count, packed.data());
        break;
    default:
        glProgramUniform4fv(program, constant->location, count, packed.data());
        break;
    }
    return true;
}

bool ShaderProgram::SetMatrix(ConstantHandle handle, const Matrix4& value)
{
    // Row-major with row vectors, read by the shader as column-major with
    // column vectors: the same transform, no transposition needed. A mat3
    // takes the rotation and scale part.
    const Constant* constant = Accepting(handle, "matrix", TakesMatrix);
    if (!constant) {
        return false;
    }
    if (constant->type == GL_FLOAT_MAT3) {
        const float upperLeft[9] = {value.m[0][0], value.m[0][1], value.m[0][2], value.m[1][0], value.m[1][1],
                                    value.m[1][2], value.m[2][0], value.m[2][1], value.m[2][2]};
        glProgramUniformMatrix3fv(program_.get(), constant->location, 1, GL_FALSE, upperLeft);
    } else {
        glProgramUniformMatrix4fv(program_.get(), constant->location, 1, GL_FALSE, &value.m[0][0]);
    }
    return true;
}

bool ShaderProgram::SetVector(ConstantHandle handle, float x, float y, float z, float w)
{
    const float values[4] = {x, y, z, w};
    return SetFloats(handle, "vector", values, 1, 4);
}

bool ShaderProgram::SetFloat(ConstantHandle handle, float value)
{
    return SetFloats(handle, "float", &value, 1, 1);
}

bool ShaderProgram::SetVec2(ConstantHandle handle, float x, float y)
{
    const float values[2] = {x, y};
    return SetFloats(handle, "vector", values, 1, 2);
}

bool ShaderProgram::BindSampler(ConstantHandle handle, GLuint texture, int element)
{
    const Constant* constant = Accepting(handle, "texture", TakesTexture);
    if (!constant || element < 0 || element >= constant->elements) {
        return false;
    }
    glBindTextureUnit(static_cast<GLuint>(constant->unit + element), texture);
    return true;
}
