#include "app/demo_main.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <iostream>
#include <memory>

#include "app/live_edit.h"
#include "app/main_loop.h"
#include "app/shader_compile_check.h"
#include "app/show.h"
#include "app/viewport.h"
#include "check/file_checks.h"
#include "check/production_check.h"
#include "core/file_manager.h"
#include "core/log.h"
#include "platform/music_player.h"
#include "world/engine_camera.h"
#include "world/world.h"

namespace {

constexpr char kMusicFile[] = "13_3.ogg";

void PrepareLoadingText(LoadingState& state)
{
    std::fill(std::begin(state.loadingBuffer), std::end(state.loadingBuffer), '\0');
    state.loadingText.text = state.loadingBuffer;
    state.loadingText.bigFont = 1;
    state.loadingText.colour = 0xFFFFFFFFu;
}

// The window names the production (its folder, the working directory) and
// the program.
std::string WindowTitle()
{
    std::error_code error;
    const std::string production = std::filesystem::current_path(error).filename().string();
    return production.empty() ? "demoplayer" : production + " - demoplayer";
}

}  // namespace

int DemoMain(const PlayOptions& options, const GraphicsBackend& graphics, MusicPlayer& music)
{
    // A recording decodes the music itself.
    Show show(options, options.Rendering() ? nullptr : &music);
    ShowState& showState = show.State();
    LoadingState& state = show.Loading();
    std::srand(static_cast<unsigned>(std::time(nullptr)));
    TheFileManager().AddSearchPath("tex/", "bmp", kResourceTexture);
    TheFileManager().AddSearchPath("model/", "obj", kResourceModel);
    showState.editorCamera = new EngineCamera("EditorCam");  // lives for the run
    PublishSubscriptions(showState.editorCamera);
    showState.activeCamera = showState.editorCamera;
    PrepareLoadingText(state);
    const bool fullscreen = !options.windowed && !options.Rendering();
    if (show.View().Setup(graphics.makeRenderer, WindowTitle(), options.width, options.height, fullscreen) != 0) {
        return -1;
    }
    // Laid out on the 1920 x 1080 picture the overlays are made for.
    showState.viewportWidth = static_cast<int>(kLayoutWidth);
    showState.viewportHeight = static_cast<int>(kLayoutHeight);
    state.loadingText.x = static_cast<int>(kLayoutWidth / 2) - 300;
    state.loadingText.y = static_cast<int>(kLayoutHeight / 2);
    if (!options.Rendering()) {
        if (!music.DeviceOpen()) {
            std::fprintf(stderr, "demoplayer: no audio device found; the show plays silently\n");
        }
        if (music.Load(kMusicFile) != 0) {
            LogLine("Cannot load music");
        }
    }
    state.SetSceneFileName(kSceneFile);
    show.Loader().Start(state, showState);
    std::unique_ptr<LiveEdit> liveEdit;
    if (options.watch) {
        // A changed scene file is checked as --check would, against the music's length.
        Diagnostics musicFindings;
        liveEdit = std::make_unique<LiveEdit>(showState, kSceneFile, CheckMusic(kMusicFile, musicFindings));
    }
    MainLoop(show, liveEdit.get());
    return show.ExitCode();
}

int CheckMain(const GraphicsBackend& graphics)
{
    return CheckProduction(kSceneFile, kMusicFile, std::cout, [&graphics](Diagnostics& found) {
        return CompileShaderFiles(found, graphics.makeShaderCompiler);
    });
}
