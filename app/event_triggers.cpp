#include "app/event_triggers.h"

#include <algorithm>
#include <vector>

#include "core/log.h"
#include "core/process_state.h"
#include "world/world.h"

float lastTriggerTime = 0.0f;

void FireEventTriggers()
{
    if (!musicStarted) {
        return;  // nothing fires before the music has started
    }
    static thread_local std::vector<EventTrigger> due;
    TheWorld().DueEventTriggers(lastTriggerTime, demoTime, due);
    float newest = lastTriggerTime;
    for (const EventTrigger& trigger : due) {
        if (trigger.name == "exit") {
            quitRequested = true;
        }
        Log("Triggering Event: ", trigger.name, " ", trigger.time);
        eventLatenessMs = static_cast<float>(std::max(0.0, (double{demoTime} - double{trigger.time}) * 1000.0));
        if (trigger.target) {
            SendEvent(trigger.name, trigger.target);
        } else {
            Broadcast(trigger.name);
        }
        eventLatenessMs = 0.0f;
        if (trigger.time > newest) {
            newest = trigger.time;
        }
    }
    lastTriggerTime = newest;
}
