#pragma once
// One shader file compiled on its own into a separable program, and its
// "constant table": uniforms found by name. A sampler uniform's value is the
// texture unit it reads (fixed in the file with layout(binding = N)).

#include <epoxy/gl.h>

#include <string>
#include <unordered_map>

#include "render/gl/gl_objects.h"
#include "render/math.h"

class ShaderProgram {
public:
    enum class Stage { kVertex, kPixel };

    // Reads and compiles the file. False, with the compiler's (or the file
    // system's) text in *error, when it fails.
    bool CompileFile(const std::string& fileName, Stage stage, std::string* error);

    GLuint Program() const { return program_.get(); }
    Stage GetStage() const { return stage_; }
    const std::string& FileName() const { return fileName_; }

    // False when the shader has no constant of that name (nothing is set).
    bool SetMatrix(const char* name, const Matrix4& value);
    bool SetVector(const char* name, float x, float y, float z, float w);
    bool SetFloat(const char* name, float value);
    bool SetVec2(const char* name, float x, float y);
    // Binds the texture to the unit of the named sampler; nothing when the
    // name is absent or not a sampler.
    bool BindSampler(const char* name, GLuint texture);

private:
    struct Constant {
        GLint location = -1;
        bool sampler = false;
        GLint unit = 0;
    };
    const Constant* Find(const char* name);

    GlProgram program_;
    Stage stage_ = Stage::kVertex;
    std::string fileName_;
    std::unordered_map<std::string, Constant> constants_;
};
