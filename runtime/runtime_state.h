#pragma once
// Process-wide runtime state that the world and the scene read.

class RenderInterface;

// The one renderer, once the viewport has made it; null before and after.
RenderInterface* GetRenderer();
void SetRenderer(RenderInterface* renderer);

// Duration of the last frame in milliseconds: the argument of every actor update.
extern float frameDeltaMs;
// Seconds since the music started, summed from frame durations.
extern float demoTime;
