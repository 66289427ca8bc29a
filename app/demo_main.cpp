#include "app/demo_main.h"

#include <SDL.h>

#include <cstdlib>
#include <ctime>
#include <memory>
#include <thread>

#include "app/event_triggers.h"
#include "app/loader_thread.h"
#include "app/loading_state.h"
#include "app/loading_text.h"
#include "app/viewport.h"
#include "core/file_manager.h"
#include "core/log.h"
#include "core/process_state.h"
#include "platform/music_player.h"
#include "platform/timer.h"
#include "platform/window.h"
#include "render/render_interface.h"
#include "world/camera_selection.h"
#include "world/engine_camera.h"
#include "world/world.h"

namespace {

constexpr unsigned kScreenWidth = 1920;
constexpr unsigned kScreenHeight = 1080;
constexpr char kMusicFile[] = "13_3.ogg";
constexpr char kSceneFile[] = "demofinal.xml";

// The typed characters the demo acts on. P without Shift and F1 both give
// 'p' (F1's key code has the same value).
constexpr uint8_t kCharEscape = kKeyEscape;
constexpr uint8_t kCharFreeCamera = 'p';

std::thread loaderThread;

void PrepareLoadingText(LoadingState& state)
{
    std::fill(std::begin(state.loadingBuffer), std::end(state.loadingBuffer), '\0');
    state.loadingText.text = state.loadingBuffer;
    state.loadingText.bigFont = 1;
    state.loadingText.colour = 0xFFFFFFFFu;
}

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
    SDL_GetGlobalMouseState(&x, &y);  // the window sits at (0, 0)
    const int dx = x - static_cast<int>(window.width / 2);
    const int dy = y - static_cast<int>(window.height / 2);
    CentreCursor(window);
    SteerFreeCamera(window, dx, dy);
}

void RunFrame(Window& window, RenderInterface& renderer)
{
    LoadingState& state = TheLoadingState();
    const double dt = TheFrameTimer().Tick();
    frameDeltaMs = static_cast<float>(dt);
    if (musicStarted) {
        demoTime += static_cast<float>(dt * 0.001);
    }
    if (state.loadingTextShown) {
        AnimateLoadingText(state.loadingBuffer, static_cast<float>(dt));
    }
    window.PumpMessage();
    HandCameraToRenderer(renderer);
    if (freeCameraMode) {
        ReadMouseAndSteer(window);
    }
    EvaluateAutomations();
    UpdateActors();
    FireEventTriggers();
    renderer.RenderFrame(static_cast<float>(dt));
    while (!window.typedChars.empty()) {
        const uint8_t c = window.typedChars.front();
        window.typedChars.pop_front();
        HandleTypedChar(c);
    }
    if (window.closeRequested) {
        quitRequested = true;  // a close request ends the demo like Escape
    }
}

}  // namespace

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
    SDL_ShowCursor(on ? SDL_DISABLE : SDL_ENABLE);
    Window* window = ViewportWindow();
    if (on && window && window->handle) {
        CentreCursor(*window);
    }
}

void SteerFreeCamera(const Window& window, int dx, int dy)
{
    if (musicStarted || !editorCamera) {
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

void MainLoop()
{
    LoadingState& state = TheLoadingState();
    quitRequested = false;
    state.mainLoopStarted = true;
    RenderInterface* renderer = GetRenderer();
    if (state.loadingOverlayActive) {
        renderer->RemoveTextInstance(&state.loadingText);
        state.loadingOverlayActive = false;
    }
    state.loadingTextShown = false;
    while (!quitRequested) {
        RunFrame(*ViewportWindow(), *renderer);
    }
    // The loading thread stops at its next item and is joined before the
    // renderer it uses goes away.
    if (loaderThread.joinable()) {
        loaderThread.join();
    }
    ShutdownViewport();
}

int DemoMain()
{
    LoadingState& state = TheLoadingState();
    state.mainLoopStarted = false;
    freeCameraMode = false;
    std::srand(static_cast<unsigned>(std::time(nullptr)));
    TheFileManager().AddSearchPath("tex/", "bmp", kResourceTexture);
    TheFileManager().AddSearchPath("model/", "obj", kResourceModel);
    editorCamera = new EngineCamera("EditorCam");  // lives for the run
    PublishSubscriptions(editorCamera);
    activeCamera = editorCamera;
    PrepareLoadingText(state);
    if (SetupViewport("default", kScreenWidth, kScreenHeight, true) != 0) {
        return -1;
    }
    state.loadingText.x = static_cast<int>(kScreenWidth / 2) - 300;
    state.loadingText.y = static_cast<int>(kScreenHeight / 2);
    if (TheMusicPlayer().Load(kMusicFile) != 0) {
        LogLine("Cannot load music");
    }
    state.SetSceneFileName(kSceneFile);
    loaderThread = StartLoaderThread();
    MainLoop();
    return 0;
}
