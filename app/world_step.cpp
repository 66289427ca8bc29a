#include "app/world_step.h"

#include "app/event_triggers.h"
#include "world/world.h"

bool StepWorld(ShowState& show, float actorMs)
{
    World& world = TheWorld();
    world.EvaluateAutomations(show.demoTime);
    world.UpdateActors(actorMs);
    return FireEventTriggers(show);
}
