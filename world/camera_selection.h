#pragma once
// Which camera the picture is seen through. The active camera's pose goes to
// the renderer every frame. Scene cameras take the view when they are
// activated; the editor camera takes it while free-camera mode is on, and the
// scene camera is remembered meanwhile.

class EngineCamera;

extern EngineCamera* editorCamera;
extern EngineCamera* activeCamera;
extern EngineCamera* sceneCamera;
extern bool freeCameraMode;

// A scene camera asks to become the view: taken unless the free camera is in
// use or the camera is null.
void SetSceneCamera(EngineCamera* camera);

// Turns free-camera mode on (the editor camera takes the view, from the pose
// of the camera that had it, and the scene camera is remembered) or off (the remembered scene camera comes back once
// the music has started). Returns the new mode.
bool ToggleFreeCamera();

// When the show starts, the scene camera that asked for the view before it
// takes it, unless the free camera is in use.
void GiveViewToSceneCamera();
