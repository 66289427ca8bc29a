// The demo: plays a production, live or recorded, as its command line says.
// The composition root: the one place that chooses the OpenGL back end.

#include <SDL.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>

#include "app/command_line.h"
#include "app/demo_main.h"
#include "app/production_folder.h"
#include "core/log.h"
#include "core/stop_signals.h"
#include "platform/music_player.h"
#include "render/gl/gl_backend.h"

namespace {

// A recording needs no display and no sound card: without a display it
// draws offscreen, and the music is never played aloud.
void PrepareRecording()
{
    if (!std::getenv("DISPLAY") && !std::getenv("WAYLAND_DISPLAY")) {
        setenv("SDL_VIDEODRIVER", "offscreen", 0);
    }
    setenv("SDL_AUDIODRIVER", "dummy", 0);
    // The AV1 encoder prints its banner and settings on standard error
    // unless told to keep to errors; set before any thread starts.
    setenv("SVT_LOG", "1", 0);
}

}  // namespace

int main(int argc, char** argv)
{
    // SIGINT and SIGTERM are ours: SDL would only turn them into a quit
    // event that the main loop's event pump alone sees.
    InstallStopSignals();
    SDL_SetHint(SDL_HINT_NO_SIGNAL_HANDLERS, "1");
    PlayOptions options;
    int exitCode = 0;
    if (!ParseCommandLine(argc, argv, &options, &exitCode)) {
        return exitCode;
    }
    if (options.Rendering()) {
        PrepareRecording();
    }
    if (options.productionDir.empty()) {
        options.productionDir = ChooseProduction(".", RunningExecutable(), kSceneFile).string();
    }
    if (!options.Logs()) {
        SetLogSink(nullptr);
    }
    if (!options.productionDir.empty() && ::chdir(options.productionDir.c_str()) != 0) {
        std::perror(("demoplayer: " + options.productionDir).c_str());
        return 2;
    }
    if (options.check) {
        const int checked = CheckMain(GlBackend());
        return StopSignal() != 0 ? StopExitCode() : checked;
    }
    // The sound device is opened before start-up, and closed when main
    // returns, after the show's window and renderer: never by exit()'s
    // teardown of static objects, which a library may start at any moment.
    MusicPlayer music;
    // A viewport that cannot be made (-1) or a recording that cannot be
    // made (1) are failures: exit code 1. A run a signal stopped says so
    // in its exit code, whatever phase it was in.
    const int result = DemoMain(options, GlBackend(), music) != 0 ? 1 : 0;
    return StopSignal() != 0 ? StopExitCode() : result;
}
