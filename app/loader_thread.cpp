#include "app/loader_thread.h"

#include <chrono>
#include <functional>
#include <thread>

#include "app/loading_state.h"
#include "core/stop_signals.h"
#include "render/render_interface.h"
#include "scene/scene_loader.h"
#include "world/show_state.h"

namespace {

constexpr auto kPollInterval = std::chrono::milliseconds(100);

void ShowLoadingText(LoadingState& state)
{
    std::lock_guard<std::mutex> lock(state.overlayMutex);
    state.loadingTextShown = true;
    if (!state.loadingOverlayActive) {
        GetRenderer()->AddTextInstance(&state.loadingText);
        state.loadingOverlayActive = true;
    }
}

void HideLoadingText(LoadingState& state)
{
    std::lock_guard<std::mutex> lock(state.overlayMutex);
    state.loadingTextShown = false;
    if (state.loadingOverlayActive) {
        GetRenderer()->RemoveTextInstance(&state.loadingText);
        state.loadingOverlayActive = false;
    }
}

// The demo is ending: its show asked to quit, or a stop was requested.
bool Ending(const ShowState& show)
{
    return show.quitRequested || StopRequested();
}

void LoadWhileTheShowRuns(LoadingState& state, const ShowState& show)
{
    while (!state.mainLoopStarted) {
        if (Ending(show)) {
            return;
        }
        std::this_thread::sleep_for(kPollInterval);
    }
    HideLoadingText(state);
    while (!Ending(show)) {
        const std::string sceneFile = state.TakeSceneFileName();
        if (!sceneFile.empty()) {
            ShowLoadingText(state);
            LoadScene(sceneFile);
            HideLoadingText(state);
            if (Ending(show)) {
                break;  // no show to start
            }
            state.loadingDone = true;
        }
        std::this_thread::sleep_for(kPollInterval);
    }
}

}  // namespace

LoaderThread::~LoaderThread()
{
    Join();
}

void LoaderThread::Start(LoadingState& loading, const ShowState& show)
{
    Join();
    thread_ = std::thread(LoadWhileTheShowRuns, std::ref(loading), std::cref(show));
}

void LoaderThread::Join()
{
    if (thread_.joinable()) {
        thread_.join();
    }
}
