#include "app/main_loop.h"

#include <SDL.h>

#include <chrono>
#include <cstdio>
#include <thread>

#include "app/frame_rate_hint.h"
#include "app/live_edit.h"
#include "app/loader_thread.h"
#include "app/loading_state.h"
#include "app/loading_text.h"
#include "app/show.h"
#include "app/viewport.h"
#include "app/watch_keys.h"
#include "app/world_step.h"
#include "core/log.h"
#include "core/process_state.h"
#include "core/stop_signals.h"
#include "platform/window.h"
#include "render/render_interface.h"
#include "world/camera_selection.h"
#include "world/engine_camera.h"

namespace {

// The typed characters the demo acts on. P without Shift and F1 both give
// 'p' (F1's key code has the same value).
constexpr uint8_t kCharEscape = kKeyEscape;
constexpr uint8_t kCharFreeCamera = 'p';

// While a render waits for the scene, the main thread lets the loading
// thread have the machine.
constexpr auto kLoadingPause = std::chrono::milliseconds(5);

void HandCameraToRenderer(RenderInterface& renderer)
{
    if (!activeCamera) {
        return;
    }
    renderer.SetCameraPosition(activeCamera->Position);
    renderer.ApplyCameraRotation(activeCamera->GetOrientation());
    renderer.SetCameraDirection(activeCamera->GetDirection());
}

void CentreCursor(const Window& window)
{
    SDL_WarpMouseInWindow(window.handle.get(), static_cast<int>(window.width / 2),
                          static_cast<int>(window.height / 2));
}

void ReadMouseAndSteer(Window& window)
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
    SteerFreeCamera(window, dx, dy);
}

void ActOnTypedChars(Window& window, Show& show, bool watching)
{
    while (!window.typedChars.empty()) {
        const uint8_t c = window.typedChars.front();
        window.typedChars.pop_front();
        HandleTypedChar(c);
    }
    while (!window.pressedKeys.empty()) {
        const uint8_t key = window.pressedKeys.front();
        window.pressedKeys.pop_front();
        if (watching) {
            ApplyWatchKey(WatchKeyFor(key), show);
        }
    }
    if (window.closeRequested) {
        quitRequested = true;  // a close request ends the demo like Escape
    }
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
    if (!musicStarted || show.Clock().FixedStep() || !show.Draws()) {
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

void RunFrame(Window& window, RenderInterface& renderer, Show& show, LiveEdit* liveEdit)
{
    LoadingState& state = TheLoadingState();
    if (state.loadingDone && !musicStarted) {
        show.Begin();
    }
    if (liveEdit && musicStarted) {
        liveEdit->ApplyChanges(*ViewportRenderer());
    }
    const double dt = show.Clock().BeginFrame();
    frameDeltaMs = static_cast<float>(dt);
    // The actors live through the show time the frame adds: none before the
    // show begins, so that it begins alike however long the load took.
    float showMs = 0.0f;
    if (musicStarted && !show.Paused()) {
        demoTime = show.Clock().AdvanceShow(demoTime, dt);
        showMs = static_cast<float>(show.Clock().AdvancedMs());
    }
    if (state.loadingTextShown) {
        AnimateLoadingText(state.loadingBuffer, static_cast<float>(dt));
    }
    window.PumpMessage();
    if (freeCameraMode && window.handle) {
        ReadMouseAndSteer(window);
    }
    if (show.WorldRuns()) {
        StepWorld(showMs);
    }
    // The camera as this frame's automations and events left it, so that
    // the view is not a frame behind the show (a frame's length that would
    // differ with the frame rate).
    HandCameraToRenderer(renderer);
    if (show.Draws()) {
        renderer.RenderFrame(static_cast<float>(dt));
        show.EndFrame();
    } else {
        std::this_thread::sleep_for(kLoadingPause);
    }
    ActOnTypedChars(window, show, liveEdit != nullptr);
}

void HandleTypedChar(uint8_t c)
{
    if (c == kCharEscape) {
        quitRequested = true;
        return;
    }
    if (c != kCharFreeCamera) {
        return;
    }
    const bool on = ToggleFreeCamera();
    LogLine(on ? "Free camera on" : "Free camera off");
    SDL_ShowCursor(on ? SDL_DISABLE : SDL_ENABLE);
    Window* window = ViewportWindow();
    if (on && window && window->handle) {
        CentreCursor(*window);
    }
}

void SteerFreeCamera(const Window& window, int dx, int dy)
{
    // While the show plays too: the free camera is for looking around it.
    if (!editorCamera) {
        return;
    }
    editorCamera->Yaw(static_cast<float>(dx) * -0.001f);
    editorCamera->Pitch(static_cast<float>(dy) * -0.001f);
    if (window.keyDown[kKeyW]) {
        editorCamera->MoveForward(frameDeltaMs * 0.001f);
    } else if (window.keyDown[kKeyS]) {
        editorCamera->MoveForward(frameDeltaMs * -0.001f);
    }
}

void TakeOverLoadingText(RenderInterface& renderer)
{
    LoadingState& state = TheLoadingState();
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
    // A stop signal that came during start-up is not forgotten.
    quitRequested = StopSignal() != 0;
    RenderInterface* renderer = GetRenderer();
    TakeOverLoadingText(*renderer);
    FrameRateHint hint;
    ShowPace pace;
    while (!quitRequested) {
        RunFrame(*ViewportWindow(), *renderer, show, liveEdit);
        WatchFrameRate(hint, pace, *ViewportWindow(), show, frameDeltaMs);
    }
    if (pace.frames > 0 && pace.ms > 0.0) {
        Log("real-time show: ", pace.frames, " frames in ", pace.ms / 1000.0, " s, ",
            pace.frames * 1000.0 / pace.ms, " frames a second");
    }
    // The loading thread stops at its next item and is joined before the
    // renderer it uses goes away.
    JoinLoaderThread();
    show.Finish();
    ShutdownViewport();
}
