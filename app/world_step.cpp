#include "app/world_step.h"

#include "app/event_triggers.h"
#include "world/world.h"

void StepWorld(float actorMs)
{
    EvaluateAutomations();
    TheWorld().UpdateActors(actorMs);
    FireEventTriggers();
}
