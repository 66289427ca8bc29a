#pragma once
// The show's state in one object: its clock, whether it runs, whether it is
// to end, how far the timed events have fired, which camera has the view and
// the size of the picture. The show owns it and hands it to whatever reads or
// changes it; the world registry keeps a pointer to it for the actors and
// cameras that need the clock or the view (see World::AttachShowState).
//
// Threads: the main thread writes everything; the loading thread only reads
// the two flags, which are atomic for that reason.

#include <atomic>

class EngineCamera;

struct ShowState {
    // Duration of the last frame in milliseconds: the argument of every
    // actor update.
    float frameDeltaMs = 0.0f;
    // Seconds of show time since the show began.
    float demoTime = 0.0f;
    // Set once, when the show begins: the music starts, or a render's clock
    // does (a render plays no music). From then on the demo time runs and
    // timed events fire.
    std::atomic<bool> musicStarted{false};
    // The main loop ends after the current frame. Only the main loop sets
    // it, from the quit requests its steps return; the loading thread polls it.
    std::atomic<bool> quitRequested{false};
    // The largest time among the timed events already fired, seconds.
    float lastTriggerTime = 0.0f;

    // The free camera steered by mouse and keys, made at start-up.
    EngineCamera* editorCamera = nullptr;
    // The camera whose pose goes to the renderer every frame; only ever
    // replaced by a camera that exists.
    EngineCamera* activeCamera = nullptr;
    // The scene camera remembered while the free camera has the view.
    EngineCamera* sceneCamera = nullptr;
    bool freeCameraMode = false;

    // The picture the overlays are laid out on, in pixels; 0 until the
    // viewport is made.
    int viewportWidth = 0;
    int viewportHeight = 0;

    // A scene camera asks to become the view: taken unless the free camera
    // is in use or the camera is null.
    void SetSceneCamera(EngineCamera* camera);
    // Turns free-camera mode on (the editor camera takes the view, from the
    // pose of the camera that had it, and the scene camera is remembered) or
    // off (the remembered scene camera comes back once the show has begun).
    // Returns the new mode.
    bool ToggleFreeCamera();
    // When the show begins, the scene camera that asked for the view before
    // it takes it, unless the free camera is in use.
    void GiveViewToSceneCamera();
};
