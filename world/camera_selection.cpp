#include "world/camera_selection.h"

#include "core/process_state.h"

EngineCamera* editorCamera = nullptr;
EngineCamera* activeCamera = nullptr;
EngineCamera* sceneCamera = nullptr;
bool freeCameraMode = false;

void SetSceneCamera(EngineCamera* camera)
{
    if (freeCameraMode || !camera) {
        return;
    }
    activeCamera = camera;
    sceneCamera = camera;
}

bool ToggleFreeCamera()
{
    freeCameraMode = !freeCameraMode;
    if (freeCameraMode) {
        sceneCamera = activeCamera;
        activeCamera = editorCamera;
    } else if (sceneCamera && musicStarted) {
        activeCamera = sceneCamera;
    }
    return freeCameraMode;
}

void GiveViewToSceneCamera()
{
    if (sceneCamera && !freeCameraMode) {
        activeCamera = sceneCamera;
    }
}
