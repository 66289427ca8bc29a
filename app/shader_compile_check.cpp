#include "app/shader_compile_check.h"

#include <SDL.h>

#include <regex>
#include <sstream>

#include "check/file_checks.h"
#include "core/file_read.h"
#include "core/stop_signals.h"

namespace {

// Each line of the compiler's log as a finding; "0:LINE(COLUMN): error: ..."
// lines keep their place.
void AddCompilerLog(const std::string& file, const std::string& log, Diagnostics& found)
{
    static const std::regex placed(R"(^\s*\d+:(\d{1,9})\((\d{1,9})\): (error|warning): (.*)$)");
    std::istringstream lines(log);
    std::string line;
    bool any = false;
    while (std::getline(lines, line)) {
        std::smatch match;
        if (std::regex_match(line, match, placed)) {
            const TextPosition where{std::stoi(match[1]), std::stoi(match[2])};
            if (match[3] == "error") {
                found.Error(file, where, match[4]);
                any = true;
            } else {
                found.Warning(file, where, match[4]);
            }
        }
    }
    if (!any) {
        found.Error(file, {}, "the shader does not compile: " + log);
    }
}

void CompileEach(ShaderCompiler& compiler, Diagnostics& found)
{
    for (const std::string& name : ShaderFileNames()) {
        if (StopRequested()) {
            return;  // the check is ending
        }
        FileBytes bytes;
        if (!ReadWholeFile(name, bytes) || bytes.size == 0) {
            continue;  // reported by the file check
        }
        const bool vertex = name.ends_with(".vsh");
        std::string error;
        if (!compiler.CompileFile(name, vertex ? ShaderCompiler::Stage::kVertex : ShaderCompiler::Stage::kPixel,
                                  &error)) {
            AddCompilerLog(name, error, found);
        }
    }
}

}  // namespace

namespace {

// Compiles every shader file on a context made through the given video
// driver (null: SDL's choice); false when no context could be made.
bool CompileWith(const char* driver, const ShaderCompilerMaker& makeCompiler, Diagnostics& found,
                 GraphicsFacts* facts)
{
    SDL_SetHint(SDL_HINT_VIDEODRIVER, driver);
    if (SDL_InitSubSystem(SDL_INIT_VIDEO) != 0) {
        return false;
    }
    bool compiled = false;
    if (std::unique_ptr<ShaderCompiler> compiler = makeCompiler()) {
        facts->maxTextureSide = compiler->MaxTextureSide();
        CompileEach(*compiler, found);
        compiled = true;
    }  // the compiler's context goes before the video subsystem
    SDL_QuitSubSystem(SDL_INIT_VIDEO);
    return compiled;
}

}  // namespace

GraphicsFacts CompileShaderFiles(Diagnostics& found, const ShaderCompilerMaker& makeCompiler)
{
    // Compiling needs no screen: the offscreen driver first, so that a
    // machine without a display neither fails nor has the window system's
    // libraries print their complaints; the usual driver when it cannot.
    // (SDL_VIDEODRIVER in the environment still decides when it is set.)
    GraphicsFacts facts;
    if (!makeCompiler) {
        return facts;  // no graphics back end: nothing known, nothing checked
    }
    if (!CompileWith("offscreen", makeCompiler, found, &facts)) {
        CompileWith(nullptr, makeCompiler, found, &facts);
    }
    return facts;
}
