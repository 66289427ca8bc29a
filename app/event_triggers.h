#pragma once
// Timed events: once per frame, every trigger whose time the demo clock has
// reached since the last frame fires, in list order; "exit" ends the demo.

struct ShowState;

// Fires the due triggers and moves the show's lastTriggerTime on. True when
// one of them was "exit": the caller ends the show after this frame.
[[nodiscard]] bool FireEventTriggers(ShowState& show);
