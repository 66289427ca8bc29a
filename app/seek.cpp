#include "app/seek.h"

#include "app/demo_clock.h"
#include "app/world_step.h"
#include "core/stop_signals.h"
#include "world/show_state.h"

bool SeekShow(ShowState& show, DemoClock& steps, int64_t nextFrame)
{
    while (steps.ShowFrames() + 1 < nextFrame) {
        if (StopRequested()) {
            return true;
        }
        show.demoTime = steps.AdvanceShow(show.demoTime, steps.StepMs());
        show.frameDeltaMs = static_cast<float>(steps.AdvancedMs());
        if (StepWorld(show, show.frameDeltaMs)) {
            return true;
        }
    }
    return false;
}
