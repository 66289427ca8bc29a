#pragma once
// One frame of the world, run every frame of the show and by seeking.

struct ShowState;

// One frame of the world at the show's demo time: automations, then every
// actor's update with the show time the frame added, then the timed events.
// True when the "exit" event fired.
[[nodiscard]] bool StepWorld(ShowState& show, float actorMs);
