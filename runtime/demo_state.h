#pragma once
// The demo's own runtime state, shared by the main thread and the loading
// thread: flags each written by one thread and polled by the other.

#include <atomic>
#include <memory>
#include <mutex>
#include <string>

#include "render/render_records.h"
#include "runtime/loading_text.h"

class Window;
class MusicPlayer;
class Timer;

struct DemoState {
    std::atomic<bool> mainLoopStarted{false};
    std::atomic<bool> loadingTextShown{false};
    std::atomic<bool> loadingOverlayActive{false};

    char loadingBuffer[kLoadingTextBytes] = {};
    TextInstance loadingText;

    Window* window = nullptr;

    // A scene file to load; taking it empties it.
    void SetSceneFileName(const std::string& name);
    std::string TakeSceneFileName();

private:
    std::mutex sceneFileMutex_;
    std::string sceneFileName_;
};

DemoState& TheDemoState();

// The process-wide frame timer and music player, made before start-up.
Timer& TheFrameTimer();
MusicPlayer& TheMusicPlayer();
