#include "runtime/demo_main.h"

#include <SDL.h>

#include <cstdlib>
#include <ctime>
#include <memory>
#include <thread>

#include "render/render_interface.h"
#include "runtime/demo_state.h"
#include "runtime/event_triggers.h"
#include "runtime/file_manager.h"
#include "runtime/loader_thread.h"
#include "runtime/loading_text.h"
#include "runtime/log.h"
#include "runtime/music_player.h"
#include "runtime/runtime_state.h"
#include "runtime/timer.h"
#include "runtime/viewport.h"
#include "runtime/window.h"
#include "world/engine_camera.h"
#include "world/world.h"

namespace {

constexpr unsigned kScreenWidth = 1920;
constexpr unsigned kScreenHeight = 1080;
constexpr char kMusicFile[] = "13_3.ogg";
constexpr char kSceneFile[] = "demofinal.xml";

std::thread loaderThread;

void PrepareLoadingText(DemoState& state)
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
    SDL_WarpMouseInWindow(window.handle, static_cast<int>(window.width / 2),
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
    DemoState& state = TheDemoState();
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
    if (c == 0x1B) {
        quitRequested = true;
        return;
    }
    if (c != 0x70) {
        return;
    }
    freeCameraMode = !freeCameraMode;
    if (freeCameraMode) {
        sceneCamera = activeCamera;
        activeCamera = editorCamera;
    } else if (sceneCamera && musicStarted) {
        activeCamera = sceneCamera;
    }
    SDL_ShowCursor(freeCameraMode ? SDL_DISABLE : SDL_ENABLE);
    if (freeCameraMode && TheDemoState().window && TheDemoState().window->handle) {
        CentreCursor(*TheDemoState().window);
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
    DemoState& state = TheDemoState();
    quitRequested = false;
    state.mainLoopStarted = true;
    RenderInterface* renderer = GetRenderer();
    if (state.loadingOverlayActive) {
        renderer->RemoveTextInstance(&state.loadingText);
        state.loadingOverlayActive = false;
    }
    state.loadingTextShown = false;
    while (!quitRequested) {
        RunFrame(*state.window, *renderer);
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
    DemoState& state = TheDemoState();
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
