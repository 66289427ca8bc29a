#include "app/loader_thread.h"

#include <chrono>

#include "app/loading_state.h"
#include "app/show_start.h"
#include "core/process_state.h"
#include "render/render_interface.h"
#include "scene/scene_loader.h"

namespace {

constexpr auto kPollInterval = std::chrono::milliseconds(100);

void ShowLoadingText(LoadingState& state)
{
    state.loadingTextShown = true;
    if (!state.loadingOverlayActive) {
        GetRenderer()->AddTextInstance(&state.loadingText);
        state.loadingOverlayActive = true;
    }
}

void HideLoadingText(LoadingState& state)
{
    state.loadingTextShown = false;
    if (state.loadingOverlayActive) {
        GetRenderer()->RemoveTextInstance(&state.loadingText);
        state.loadingOverlayActive = false;
    }
}

}  // namespace

void LoaderThread()
{
    LoadingState& state = TheLoadingState();
    while (!state.mainLoopStarted) {
        if (quitRequested) {
            return;
        }
        std::this_thread::sleep_for(kPollInterval);
    }
    HideLoadingText(state);
    while (!quitRequested) {
        const std::string sceneFile = state.TakeSceneFileName();
        if (!sceneFile.empty()) {
            ShowLoadingText(state);
            LoadScene(sceneFile);
            HideLoadingText(state);
            if (quitRequested) {
                break;  // the demo is ending: no music to start
            }
            StartShow();
        }
        std::this_thread::sleep_for(kPollInterval);
    }
}

std::thread StartLoaderThread()
{
    return std::thread(LoaderThread);
}
