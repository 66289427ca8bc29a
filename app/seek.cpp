#include "app/seek.h"

#include "app/demo_clock.h"
#include "app/world_step.h"
#include "core/process_state.h"

void SeekShow(DemoClock& steps, int64_t nextFrame)
{
    while (steps.ShowFrames() + 1 < nextFrame && !quitRequested) {
        demoTime = steps.AdvanceShow(demoTime, steps.StepMs());
        frameDeltaMs = static_cast<float>(steps.AdvancedMs());
        StepWorld(frameDeltaMs);
    }
}
