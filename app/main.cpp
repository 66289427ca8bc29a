// The demo: plays a production, live or recorded, as its command line says.

#include <SDL.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>

#include "app/command_line.h"
#include "app/demo_main.h"
#include "core/log.h"
#include "platform/music_player.h"
#include "platform/timer.h"

namespace {

// A recording needs no display and no sound card: without a display it
// draws offscreen, and the music is never played aloud.
void PrepareRecording()
{
    if (!std::getenv("DISPLAY") && !std::getenv("WAYLAND_DISPLAY")) {
        setenv("SDL_VIDEODRIVER", "offscreen", 0);
    }
    setenv("SDL_AUDIODRIVER", "dummy", 0);
}

}  // namespace

int main(int argc, char** argv)
{
    PlayOptions options;
    int exitCode = 0;
    if (!ParseCommandLine(argc, argv, &options, &exitCode)) {
        return exitCode;
    }
    if (options.Rendering()) {
        PrepareRecording();
    }
    if (!options.Logs()) {
        SetLogSink(nullptr);
    }
    if (!options.productionDir.empty() && ::chdir(options.productionDir.c_str()) != 0) {
        std::perror(("demoplayer: " + options.productionDir).c_str());
        return 2;
    }
    if (options.check) {
        return CheckMain();
    }
    // The process-wide services exist before start-up.
    TheFrameTimer();
    TheMusicPlayer();
    // A viewport that cannot be made (-1) or a recording that cannot be
    // made (1) are failures: exit code 1.
    return DemoMain(options) != 0 ? 1 : 0;
}
