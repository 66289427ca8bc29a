#include "app/seek.h"

#include "app/demo_clock.h"
#include "app/event_triggers.h"
#include "core/process_state.h"
#include "world/world.h"

void StepWorld(float actorMs)
{
    EvaluateAutomations();
    TheWorld().UpdateActors(actorMs);
    FireEventTriggers();
}

void SeekShow(DemoClock& steps, int64_t nextFrame)
{
    while (steps.ShowFrames() + 1 < nextFrame && !quitRequested) {
        demoTime = steps.AdvanceShow(demoTime, steps.StepMs());
        frameDeltaMs = static_cast<float>(steps.AdvancedMs());
        StepWorld(frameDeltaMs);
    }
}
