#pragma once
// Process-wide run state: the demo clock the main loop advances every frame,
// the quit request, and the size of the picture. Both threads read it.

#include <atomic>

// Duration of the last frame in milliseconds: the argument of every actor update.
extern float frameDeltaMs;
// Seconds since the music started, summed from frame durations.
extern float demoTime;
// Set once, when the show starts (on the main thread).
extern std::atomic<bool> musicStarted;
// The main loop ends after the current frame.
extern std::atomic<bool> quitRequested;

// The window's size in pixels, once the viewport has made it.
void GetViewportSize(int* width, int* height);
void SetViewportSize(int width, int height);
