#include "app/main_loop.h"

#include <SDL.h>

#include <chrono>
#include <cstdio>
#include <thread>

#include "app/frame_rate_hint.h"
#include "app/live_edit.h"
#include "app/loading_state.h"
#include "app/loading_text.h"
#include "app/show.h"
#include "app/viewport.h"
#include "app/watch_keys.h"
#include "app/world_step.h"
#include "core/log.h"
#include "core/stop_signals.h"
#include "platform/window.h"
#include "render/show_renderer.h"
#include "world/engine_camera.h"

namespace {

// The typed characters the demo acts on. P without Shift and F1 both give
// 'p' (F1's key code has the same value).
constexpr uint8_t kCharEscape = kKeyEscape;
constexpr uint8_t kCharFreeCamera = 'p';

// While a render waits for the scene, the main thread lets the loading
// thread have the machine.
constexpr auto kLoadingPause = std::chrono::milliseconds(5);

void HandCameraToRenderer(const ShowState& show, RenderInterface& renderer)
{
    EngineCamera* camera = show.activeCamera;
    if (!camera) {
        return;
    }
    renderer.SetCameraPosition(camera->Position);
    renderer.ApplyCameraRotation(camera->GetOrientation());
    renderer.SetCameraDirection(camera->GetDirection());
}

void CentreCursor(const Window& window)
{
    SDL_WarpMouseInWindow(window.handle.get(), static_cast<int>(window.width / 2),
                          static_cast<int>(window.height / 2));
}

void ReadMouseAndSteer(ShowState& show, Window& window)
{
    int x = 0;
    int y = 0;
    SDL_GetGlobalMouseState(&x, &y);
    // Where the window manager placed the window: (0, 0) without one.
    int left = 0;
    int top = 0;
    SDL_GetWindowPosition(window.handle.get(), &left, &top);
    const int dx = x - left - static_cast<int>(window.width / 2);
    const int dy = y - top - static_cast<int>(window.height / 2);
    CentreCursor(window);
    SteerFreeCamera(show, window, dx, dy);
}

// True when a key (or a close request) asks to quit.
bool ActOnTypedChars(Window& window, Show& show, bool watching)
{
    bool quit = false;
    while (!window.typedChars.empty()) {
        const uint8_t c = window.typedChars.front();
        window.typedChars.pop_front();
        quit = HandleTypedChar(show.State(), c, &window) || quit;
    }
    while (!window.pressedKeys.empty()) {
        const uint8_t key = window.pressedKeys.front();
        window.pressedKeys.pop_front();
        if (watching) {
            quit = ApplyWatchKey(WatchKeyFor(key), show) || quit;
        }
    }
    // A close request ends the demo like Escape.
    return quit || window.closeRequested;
}

// The frames of a real-time show and the time they took, for the log line
// at its end; the first, which carries the start of the show, is left out.
struct ShowPace {
    int64_t frames = -1;
    double ms = 0.0;
};

// In real time, the first seconds of the show tell whether a smaller
// picture would play smoother; the user hears it once, on the terminal.
void WatchFrameRate(FrameRateHint& hint, ShowPace& pace, const Window& window, Show& show, double frameMs)
{
    if (!show.State().musicStarted || show.Clock().FixedStep() || !show.Draws()) {
        return;
    }
    if (++pace.frames > 0) {
        pace.ms += frameMs;
    }
    if (!hint.AddFrame(frameMs)) {
        return;
    }
    const std::string text = FrameRateHint::Text(hint.FramesPerSecond(), window.width, window.height);
    std::fprintf(stderr, "%s\n", text.c_str());
}

}  // namespace

bool RunFrame(Window& window, ShowRenderer& renderer, Show& show, LiveEdit* liveEdit)
{
    ShowState& state = show.State();
    LoadingState& loading = show.Loading();
    // Each step that can end the show says so; the frame is completed, its
    // picture drawn, either way.
    bool quit = false;
    if (loading.loadingDone && !state.musicStarted) {
        quit = show.Begin();
    }
    if (liveEdit && state.musicStarted) {
        liveEdit->ApplyChanges(renderer);
    }
    const double dt = show.BeginFrame();
    state.frameDeltaMs = static_cast<float>(dt);
    // The actors live through the show time the frame adds: none before the
    // show begins, so that it begins alike however long the load took.
    float showMs = 0.0f;
    if (state.musicStarted && !show.Paused()) {
        state.demoTime = show.Clock().AdvanceShow(state.demoTime, dt);
        showMs = static_cast<float>(show.Clock().AdvancedMs());
    }
    if (loading.loadingTextShown) {
        AnimateLoadingText(loading.loadingBuffer, static_cast<float>(dt), loading.loadingEffect);
    }
    window.PumpMessage();
    if (state.freeCameraMode && window.handle) {
        ReadMouseAndSteer(state, window);
    }
    if (show.WorldRuns()) {
        quit = StepWorld(state, showMs) || quit;
    }
    // The camera as this frame's automations and events left it, so that
    // the view is not a frame behind the show (a frame's length that would
    // differ with the frame rate).
    HandCameraToRenderer(state, renderer);
    if (show.Draws()) {
        renderer.RenderFrame(static_cast<float>(dt));
        quit = show.EndFrame() || quit;
    } else {
        std::this_thread::sleep_for(kLoadingPause);
    }
    return ActOnTypedChars(window, show, liveEdit != nullptr) || quit;
}

bool HandleTypedChar(ShowState& show, uint8_t c, Window* window)
{
    if (c == kCharEscape) {
        return true;
    }
    if (c != kCharFreeCamera) {
        return false;
    }
    const bool on = show.ToggleFreeCamera();
    LogLine(on ? "Free camera on" : "Free camera off");
    SDL_ShowCursor(on ? SDL_DISABLE : SDL_ENABLE);
    if (on && window && window->handle) {
        CentreCursor(*window);
    }
    return false;
}

void SteerFreeCamera(ShowState& show, const Window& window, int dx, int dy)
{
    // While the show plays too: the free camera is for looking around it.
    EngineCamera* camera = show.editorCamera;
    if (!camera) {
        return;
    }
    camera->Yaw(static_cast<float>(dx) * -0.001f);
    camera->Pitch(static_cast<float>(dy) * -0.001f);
    if (window.keyDown[kKeyW]) {
        camera->MoveForward(show.frameDeltaMs * 0.001f);
    } else if (window.keyDown[kKeyS]) {
        camera->MoveForward(show.frameDeltaMs * -0.001f);
    }
}

void TakeOverLoadingText(LoadingState& state, RenderInterface& renderer)
{
    // The loading thread registers the loading text only once the loop
    // runs: the flag and the text's removal change hands under one lock.
    std::lock_guard<std::mutex> handOver(state.overlayMutex);
    state.mainLoopStarted = true;
    if (state.loadingOverlayActive) {
        renderer.RemoveTextInstance(&state.loadingText);
        state.loadingOverlayActive = false;
    }
    state.loadingTextShown = false;
}

void MainLoop(Show& show, LiveEdit* liveEdit)
{
    ShowState& state = show.State();
    // A stop signal that came during start-up is not forgotten; a stop the
    // last show asked for is.
    ClearStopRequest();
    state.quitRequested = StopRequested();
    Window& window = *show.View().GetWindow();
    ShowRenderer& renderer = *show.View().Renderer();
    TakeOverLoadingText(show.Loading(), renderer);
    FrameRateHint hint;
    ShowPace pace;
    while (!state.quitRequested) {
        const bool quit = RunFrame(window, renderer, show, liveEdit);
        WatchFrameRate(hint, pace, window, show, state.frameDeltaMs);
        state.quitRequested = quit || StopRequested();
    }

    if (pace.frames > 0 && pace.ms > 0.0) {
        Log("real-time show: ", pace.frames, " frames in ", pace.ms / 1000.0, " s, ",
            pace.frames * 1000.0 / pace.ms, " frames a second");
    }
    // The loading thread stops at its next item (a scene it is loading
    // too) and is joined before the renderer it uses goes away.
    RequestStop();
    show.Loader().Join();
    ClearStopRequest();
    show.Finish();
    show.View().Shutdown();
}
