#pragma once
// One frame of the world, run every frame of the show and by seeking.

// One frame of the world at the current demo time: automations, then every
// actor's update with the show time the frame added, then the timed events.
void StepWorld(float actorMs);
