#pragma once
// Shader files compiled as the renderer compiles them, on a graphics context
// of the compiler's own, for the production check.

#include <cstdint>
#include <functional>
#include <memory>
#include <string>

class ShaderCompiler {
public:
    enum class Stage { kVertex, kPixel };

    virtual ~ShaderCompiler() = default;

    // True when the file compiles; otherwise *error holds the compiler's log.
    virtual bool CompileFile(const std::string& file, Stage stage, std::string* error) = 0;
    // The largest width and height a texture may have on this context.
    virtual uint32_t MaxTextureSide() const = 0;
};

// Makes a compiler on a hidden window of the video subsystem the caller has
// started; null when no context can be made there.
using ShaderCompilerMaker = std::function<std::unique_ptr<ShaderCompiler>()>;
