#include "app/seek.h"

#include "app/demo_clock.h"
#include "app/event_triggers.h"
#include "core/process_state.h"
#include "world/world.h"

void StepWorld()
{
    EvaluateAutomations();
    UpdateActors();
    FireEventTriggers();
}

void SeekShow(DemoClock& steps, int64_t nextFrame)
{
    const float stepMs = static_cast<float>(steps.StepMs());
    while (steps.ShowFrames() + 1 < nextFrame && !quitRequested) {
        frameDeltaMs = stepMs;
        demoTime = steps.AdvanceShow(demoTime, stepMs);
        StepWorld();
    }
}
