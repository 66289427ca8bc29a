#pragma once
// One shader file compiled on its own into a separable program, and its
// "constant table": the program's uniforms, with the type and size the file
// declares. A constant is found by name once, into a handle, and set through
// the handle as often as needed, with no string work. A value is set as the
// constant's type takes it (a vector into a vec3 gives its first three
// components), and a value the type cannot take is logged once. A sampler
// uniform's value is the texture unit it reads: layout(binding = N) where
// the file gives one, and each sampler without a unit of its own gets a free
// one when the program is built.

#include <epoxy/gl.h>

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "render/gl/gl_objects.h"
#include "core/math.h"

// A constant of one build of one program. The default handle names none.
// A handle is good only for the build it was found in: once its program is
// compiled again, or given to another program, setting it sets nothing.
class ConstantHandle {
public:
    ConstantHandle() = default;
    // The program had a constant of that name when the handle was found.
    bool Valid() const { return build_ != 0; }

private:
    friend class ShaderProgram;
    ConstantHandle(uint32_t build, uint32_t index) : build_(build), index_(index) {}
    uint32_t build_ = 0;  // which build of which program; 0 for none
    uint32_t index_ = 0;  // in that build's constant table
};

class ShaderProgram {
public:
    enum class Stage { kVertex, kPixel };

    // Reads and compiles the file. False, with the compiler's (or the file
    // system's) text in *error, when it fails.
    bool CompileFile(const std::string& fileName, Stage stage, std::string* error);

    GLuint Program() const { return program_.get(); }
    Stage GetStage() const { return stage_; }
    const std::string& FileName() const { return fileName_; }

    // The named constant of the program as it is built now; an invalid
    // handle when the shader has no constant of that name (or none is built).
    ConstantHandle Find(std::string_view name) const;
    // The handle was found in this program as it is built now.
    bool Holds(ConstantHandle handle) const { return handle.Valid() && handle.build_ == build_; }

    // False, with nothing set, when the handle names no constant of this
    // build, or one whose type cannot take the value.
    bool SetMatrix(ConstantHandle constant, const Matrix4& value);
    bool SetVector(ConstantHandle constant, float x, float y, float z, float w);
    bool SetFloat(ConstantHandle constant, float value);
    bool SetVec2(ConstantHandle constant, float x, float y);
    // The first `elements` elements of a float or vector array, element i
    // from the `stride` floats at values[i * stride] (the components its type
    // lacks dropped, those not given zero); false as above.
    bool SetArray(ConstantHandle constant, const float* values, int elements, int stride);
    // Binds the texture to the unit of the sampler (of its `element`, for an
    // array with a binding, whose elements take the units after the first);
    // nothing when the handle names no sampler of this build.
    bool BindSampler(ConstantHandle constant, GLuint texture, int element = 0);

private:
    struct Constant {
        std::string name;  // for the line that logs a mismatch
        GLint location = -1;
        GLenum type = 0;
        bool sampler = false;
        GLint unit = 0;      // a sampler array's first; the others follow
        GLint elements = 1;  // more than 1 for an array
        bool mismatchLogged = false;
    };
    // Reads the program's uniforms and gives every sampler a unit of its own.
    void ReadConstants();
    // The handle's constant when it is of this build and its type can take
    // a value of that kind; a constant that cannot is logged once.
    Constant* Accepting(ConstantHandle handle, const char* kind, bool (*accepts)(GLenum type));
    // SetArray for every float setter (one element for a plain constant);
    // `kind` names the value when the constant's type cannot take it.
    bool SetFloats(ConstantHandle handle, const char* kind, const float* values, int elements, int stride);

    // Names are looked up as they are given, without making a string of each.
    struct NameHash {
        using is_transparent = void;
        size_t operator()(std::string_view name) const { return std::hash<std::string_view>{}(name); }
    };

    GlProgram program_;
    std::vector<float> packed_;  // SetFloats' values, laid out for the upload
    Stage stage_ = Stage::kVertex;
    std::string fileName_;
    // Read once when the program is built: each uniform's name, location,
    // type and unit, which handles index; and where each name stands.
    std::vector<Constant> constants_;
    std::unordered_map<std::string, uint32_t, NameHash, std::equal_to<>> indexByName_;
    // Stamps this build's handles; unique among every build of every
    // program, so that no other build takes them.
    uint32_t build_ = 0;
};
