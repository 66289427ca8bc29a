#include "world/camera_selection.h"

#include "core/process_state.h"
#include "world/engine_camera.h"

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
        // The free camera sets out from the view the show had, not from
        // wherever it was left.
        if (editorCamera && activeCamera && activeCamera != editorCamera) {
            editorCamera->TakePoseOf(*activeCamera);
        }
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
