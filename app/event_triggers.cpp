#include "app/event_triggers.h"

#include <algorithm>
#include <vector>

#include "core/log.h"
#include "world/world.h"

bool FireEventTriggers(ShowState& show)
{
    if (!show.musicStarted) {
        return false;  // nothing fires before the music has started
    }
    std::vector<EventTrigger> due;  // allocates only in a frame where some are due
    TheWorld().DueEventTriggers(show.lastTriggerTime, show.demoTime, due);
    float newest = show.lastTriggerTime;
    bool exit = false;
    for (const EventTrigger& trigger : due) {
        if (trigger.name == "exit") {
            exit = true;
        }
        Log("Triggering Event: ", trigger.name, " ", trigger.time);
        const float lateMs =
            static_cast<float>(std::max(0.0, (double{show.demoTime} - double{trigger.time}) * 1000.0));
        if (trigger.target) {
            SendEvent(trigger.name, trigger.target, lateMs);
        } else {
            Broadcast(trigger.name, lateMs);
        }
        if (trigger.time > newest) {
            newest = trigger.time;
        }
    }
    show.lastTriggerTime = newest;
    return exit;
}
