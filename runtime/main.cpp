// The demo: plays the production in the working directory.

#include <SDL.h>

#include "runtime/demo_main.h"
#include "runtime/demo_state.h"

int main(int, char**)  // the command line is accepted and ignored
{
    // The process-wide services exist before start-up.
    TheFrameTimer();
    TheMusicPlayer();
    DemoMain();
    return 0;
}
