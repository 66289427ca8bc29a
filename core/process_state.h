#pragma once
// Process-wide run state: the demo clock the main loop advances every frame,
// the quit request, and the size of the picture. Both threads read it.

#include <atomic>

// Duration of the last frame in milliseconds: the argument of every actor update.
extern float frameDeltaMs;
// Seconds since the music started, summed from frame durations.
extern float demoTime;
// While a timed event is delivered: how long ago, in milliseconds of show
// time, it was due (the frame that fires it comes at or after its time), so
// that an actor keeping time can start from the event's own moment. 0 at
// any other time, and for the events the runtime sends itself.
extern float eventLatenessMs;
// Set once, when the show starts (on the main thread).
extern std::atomic<bool> musicStarted;
// The main loop ends after the current frame.
extern std::atomic<bool> quitRequested;

// The window's size in pixels, once the viewport has made it.
void GetViewportSize(int* width, int* height);
void SetViewportSize(int width, int height);
