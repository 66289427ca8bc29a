// The demo: plays the production in the working directory.

#include <SDL.h>

#include "app/demo_main.h"
#include "platform/music_player.h"
#include "platform/timer.h"

int main(int, char**)  // the command line is accepted and ignored
{
    // The process-wide services exist before start-up.
    TheFrameTimer();
    TheMusicPlayer();
    DemoMain();
    return 0;
}
