#pragma once
// One shader file compiled on its own into a separable program, and its
// "constant table": the program's uniforms by name, with the type and size
// the file declares. A value is set as that type takes it (a vector into a
// vec3 gives its first three components), and a value the type cannot take
// is logged once. A sampler uniform's value is the texture unit it reads:
// layout(binding = N) where the file gives one, and each sampler without a
// unit of its own gets a free one when the program is built.

#include <epoxy/gl.h>

#include <functional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "render/gl/gl_objects.h"
#include "core/math.h"

class ShaderProgram {
public:
    enum class Stage { kVertex, kPixel };

    // Reads and compiles the file. False, with the compiler's (or the file
    // system's) text in *error, when it fails.
    bool CompileFile(const std::string& fileName, Stage stage, std::string* error);

    GLuint Program() const { return program_.get(); }
    Stage GetStage() const { return stage_; }
    const std::string& FileName() const { return fileName_; }

    // False when the shader has no constant of that name, or one whose type
    // cannot take the value (nothing is set).
    bool SetMatrix(const char* name, const Matrix4& value);
    bool SetVector(const char* name, float x, float y, float z, float w);
    bool SetFloat(const char* name, float value);
    bool SetVec2(const char* name, float x, float y);
    // The first `elements` elements of a float or vector array, element i
    // from the `stride` floats at values[i * stride] (the components its type
    // lacks dropped, those not given zero); false as above.
    bool SetArray(const char* name, const float* values, int elements, int stride);
    // Binds the texture to the unit of the named sampler (of its `element`,
    // for an array with a binding, whose elements take the units after the
    // first); nothing when the name is absent or not a sampler.
    bool BindSampler(const char* name, GLuint texture, int element = 0);

private:
    struct Constant {
        GLint location = -1;
        GLenum type = 0;
        bool sampler = false;
        GLint unit = 0;      // a sampler array's first; the others follow
        GLint elements = 1;  // more than 1 for an array
        bool mismatchLogged = false;
    };
    // Reads the program's uniforms and gives every sampler a unit of its own.
    void ReadConstants();
    // The named constant when its type can take a value of that kind; a
    // constant that cannot is logged once.
    Constant* Find(const char* name, const char* kind, bool (*accepts)(GLenum type));
    // SetArray for every float setter (one element for a plain constant);
    // `kind` names the value when the constant's type cannot take it.
    bool SetFloats(const char* name, const char* kind, const float* values, int elements, int stride);

    // Names are looked up as they are given, without making a string of each.
    struct NameHash {
        using is_transparent = void;
        size_t operator()(std::string_view name) const { return std::hash<std::string_view>{}(name); }
    };

    GlProgram program_;
    std::vector<float> packed_;  // SetFloats' values, laid out for the upload
    Stage stage_ = Stage::kVertex;
    std::string fileName_;
    // Read once when the program is built: each uniform's location, type and
    // unit; a frame's setters only find them by name.
    std::unordered_map<std::string, Constant, NameHash, std::equal_to<>> constants_;
};
