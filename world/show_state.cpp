#include "world/show_state.h"

#include "world/engine_camera.h"

void ShowState::SetSceneCamera(EngineCamera* camera)
{
    if (freeCameraMode || !camera) {
        return;
    }
    activeCamera = camera;
    sceneCamera = camera;
}

bool ShowState::ToggleFreeCamera()
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

void ShowState::GiveViewToSceneCamera()
{
    if (sceneCamera && !freeCameraMode) {
        activeCamera = sceneCamera;
    }
}
