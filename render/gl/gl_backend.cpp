#include "render/gl/gl_backend.h"

#include "platform/sdl_window.h"
#include "render/gl/gl_device.h"
#include "render/gl/gl_shader_program.h"
#include "render/gl/renderer_gl.h"

namespace {

// Compiles on a context of a hidden 1 x 1 window, which lives as long as it.
class GlShaderCompiler : public ShaderCompiler {
public:
    // False when no window or no OpenGL 4.5 core context can be made.
    bool Open()
    {
        window_ = CreateHiddenGlWindow("shader check", 1, 1);
        return window_ && device_.Create(window_.get()) == 0;
    }

    bool CompileFile(const std::string& file, Stage stage, std::string* error) override
    {
        ShaderProgram program;
        return program.CompileFile(
            file, stage == Stage::kVertex ? ShaderProgram::Stage::kVertex : ShaderProgram::Stage::kPixel, error);
    }

    uint32_t MaxTextureSide() const override { return device_.MaxTextureSide(); }

private:
    // Declared first: the window outlives the context made on it.
    SdlWindowPtr window_;
    GlDevice device_;
};

}  // namespace

GraphicsBackend GlBackend()
{
    GraphicsBackend backend;
    backend.makeRenderer = [] { return std::unique_ptr<ShowRenderer>(std::make_unique<RendererGL>()); };
    backend.makeShaderCompiler = []() -> std::unique_ptr<ShaderCompiler> {
        auto compiler = std::make_unique<GlShaderCompiler>();
        if (!compiler->Open()) {
            return nullptr;
        }
        return compiler;
    };
    return backend;
}
