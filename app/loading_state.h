#pragma once
// What the main thread and the loading thread hand each other while the
// scene loads: flags each written by one thread and polled by the other, the
// loading text, and the name of the scene file to load. The show owns it.

#include <atomic>
#include <mutex>
#include <string>

#include "app/loading_text.h"
#include "render/render_records.h"

struct LoadingState {
    std::atomic<bool> mainLoopStarted{false};
    std::atomic<bool> loadingTextShown{false};
    std::atomic<bool> loadingOverlayActive{false};
    // The scene has been loaded: the main thread starts the show.
    std::atomic<bool> loadingDone{false};
    // Held while the loading text changes hands, so that the main loop's
    // start and the loading thread's show or hide never interleave.
    std::mutex overlayMutex;

    char loadingBuffer[kLoadingTextBytes] = {};
    TextInstance loadingText;
    // Which letter rolls, and how far (main thread).
    LoadingTextEffect loadingEffect;

    // A scene file to load; taking it empties it.
    void SetSceneFileName(const std::string& name);
    std::string TakeSceneFileName();

private:
    std::mutex sceneFileMutex_;
    std::string sceneFileName_;
};
