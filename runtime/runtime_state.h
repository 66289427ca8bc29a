#pragma once
// Process-wide runtime state: what the main loop produces each frame and
// what the world, the scene and the actors read back.

#include <atomic>

class RenderInterface;
class EngineCamera;

// The one renderer, once the viewport has made it; null before and after.
RenderInterface* GetRenderer();
void SetRenderer(RenderInterface* renderer);

// The window's size in pixels, once the viewport has made it.
void GetViewportSize(int* width, int* height);
void SetViewportSize(int width, int height);

// Duration of the last frame in milliseconds: the argument of every actor update.
extern float frameDeltaMs;
// Seconds since the music started, summed from frame durations.
extern float demoTime;
// Set once, when the music starts; the loading thread sets it.
extern std::atomic<bool> musicStarted;
// The main loop ends after the current frame.
extern std::atomic<bool> quitRequested;

// Cameras. The active camera's pose goes to the renderer every frame; the
// scene camera is remembered while the free camera is in use.
extern EngineCamera* editorCamera;
extern EngineCamera* activeCamera;
extern EngineCamera* sceneCamera;
extern bool freeCameraMode;

// A scene camera asks to become the view: taken unless the free camera is in
// use or the camera is null.
void SetSceneCamera(EngineCamera* camera);
