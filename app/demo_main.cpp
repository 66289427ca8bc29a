#include "app/demo_main.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <iostream>
#include <memory>

#include "app/live_edit.h"
#include "app/loader_thread.h"
#include "app/loading_state.h"
#include "app/main_loop.h"
#include "app/shader_compile_check.h"
#include "app/show.h"
#include "app/viewport.h"
#include "check/file_checks.h"
#include "check/production_check.h"
#include "core/file_manager.h"
#include "core/log.h"
#include "platform/music_player.h"
#include "world/camera_selection.h"
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

}  // namespace

int DemoMain(const PlayOptions& options)
{
    LoadingState& state = TheLoadingState();
    state.mainLoopStarted = false;
    freeCameraMode = false;
    std::srand(static_cast<unsigned>(std::time(nullptr)));
    TheFileManager().AddSearchPath("tex/", "bmp", kResourceTexture);
    TheFileManager().AddSearchPath("model/", "obj", kResourceModel);
    editorCamera = new EngineCamera("EditorCam");  // lives for the run
    PublishSubscriptions(editorCamera);
    activeCamera = editorCamera;
    PrepareLoadingText(state);
    const bool fullscreen = !options.windowed && !options.Rendering();
    if (SetupViewport("default", options.width, options.height, fullscreen) != 0) {
        return -1;
    }
    // Laid out on the 1920 x 1080 picture the overlays are made for.
    state.loadingText.x = static_cast<int>(kLayoutWidth / 2) - 300;
    state.loadingText.y = static_cast<int>(kLayoutHeight / 2);
    // A recording decodes the music itself.
    if (!options.Rendering()) {
        if (!TheMusicPlayer().DeviceOpen()) {
            std::fprintf(stderr, "demoplayer: no audio device found; the show plays silently\n");
        }
        if (TheMusicPlayer().Load(kMusicFile) != 0) {
            LogLine("Cannot load music");
        }
    }
    state.SetSceneFileName(kSceneFile);
    StartLoaderThread();
    Show show(options);
    std::unique_ptr<LiveEdit> liveEdit;
    if (options.watch) {
        liveEdit = std::make_unique<LiveEdit>(kSceneFile);
        // A changed scene file is checked as --check would, against the music's length.
        Diagnostics musicFindings;
        const std::optional<double> musicSeconds = CheckMusic(kMusicFile, musicFindings);
        SetChangedSceneCheck([musicSeconds](const std::string& sceneFile) {
            PrintSceneFileCheck(sceneFile, musicSeconds, std::cout);
        });
    }
    MainLoop(show, liveEdit.get());
    return show.ExitCode();
}

int CheckMain()
{
    return CheckProduction(kSceneFile, kMusicFile, std::cout,
                           [](Diagnostics& found) { return CompileShaderFiles(found); });
}
