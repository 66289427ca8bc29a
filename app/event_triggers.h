#pragma once
// Timed events: once per frame, every trigger whose time the demo clock has
// reached since the last frame fires, in list order; "exit" ends the demo.

// The largest time among the triggers already fired, seconds.
extern float lastTriggerTime;

void FireEventTriggers();
