// Fuzzing entry for a whole scene: the description comes from memory, the
// meshes and textures it names from a small prepared directory; the loaded
// world then plays a few frames (automations, actors, timed events) and is
// emptied for the next input.

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <vector>

#include "fuzz/fuzz_support.h"
#include "scene/scene_loader.h"
#include "world/world.h"

namespace {

// Frames far apart on the demo clock, so that timed events and keys over a
// whole show are reached; actors see at most a slow frame's duration. Few
// of them: some actors do a lot of work every frame.
constexpr float kFrameTimes[] = {1.0f, 600.0f};
constexpr float kLongestFrameMs = 250.0f;

void DeliverDueEvents(float after, float upTo)
{
    static std::vector<EventTrigger> due;
    TheWorld().DueEventTriggers(after, upTo, due);
    for (const EventTrigger& trigger : due) {
        if (trigger.target) {
            SendEvent(trigger.name, trigger.target);
        } else {
            Broadcast(trigger.name);
        }
    }
}

void PlayFrames()
{
    World& world = TheWorld();
    float previous = 0.0f;
    for (float time : kFrameTimes) {
        world.EvaluateAutomations(time);
        world.UpdateActors(std::min(1000.0f * (time - previous), kLongestFrameMs));
        DeliverDueEvents(previous, time);
        previous = time;
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    PrepareSceneDirectoryOnce();
    LoadSceneText(reinterpret_cast<const char*>(data), size, "fuzzed.xml");
    PlayFrames();
    TheWorld().Clear();
    return 0;
}
