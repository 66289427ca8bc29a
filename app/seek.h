#pragma once
// Moving the show along without drawing it.

#include <cstdint>

class DemoClock;
struct ShowState;

// Runs the world on the clock's fixed steps until its next frame is the
// given show frame: actors, automations and timed events run, events fire in
// order, so every effect is where playing would have put it. Nothing is
// drawn. An "exit" on the way, or a stop request, stops it: true then, and
// the show is to end.
[[nodiscard]] bool SeekShow(ShowState& show, DemoClock& steps, int64_t nextFrame);
