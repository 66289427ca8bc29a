#include "runtime/loader_thread.h"

#include <chrono>

#include "render/render_interface.h"
#include "runtime/demo_state.h"
#include "runtime/music_start.h"
#include "runtime/runtime_state.h"
#include "scene/scene_loader.h"

namespace {

constexpr auto kPollInterval = std::chrono::milliseconds(100);

void ShowLoadingText(DemoState& state)
{
    state.loadingTextShown = true;
    if (!state.loadingOverlayActive) {
        GetRenderer()->AddTextInstance(&state.loadingText);
        state.loadingOverlayActive = true;
    }
}

void HideLoadingText(DemoState& state)
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
    DemoState& state = TheDemoState();
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
            StartMusic();
        }
        std::this_thread::sleep_for(kPollInterval);
    }
}

std::thread StartLoaderThread()
{
    return std::thread(LoaderThread);
}
