#pragma once
// The GL device: the main context, made on the window and used by the main
// thread, and the loading thread's context, made on the main thread against
// a hidden window of its own and sharing objects with the main one. Objects
// the loading thread makes are fenced before their records are published.

#include <cstdint>
#include <memory>
#include <mutex>
#include <thread>

#include "platform/sdl_window.h"

struct GlContextDeleter {
    void operator()(void* context) const;
};
using GlContextPtr = std::unique_ptr<void, GlContextDeleter>;

class GlDevice {
public:
    GlDevice() = default;
    ~GlDevice();
    GlDevice(const GlDevice&) = delete;
    GlDevice& operator=(const GlDevice&) = delete;

    // 0; -1 when no OpenGL 4.5 core context can be made on the window; -2
    // when the loading thread's context cannot be made (nothing could be
    // uploaded from there). The main context is current afterwards.
    int Create(SDL_Window* window);
    // Makes the loading thread's context, sharing objects with the current
    // one; replaceable (tests make it fail). Null restores SDL's.
    using SharedContextMaker = void* (*)(SDL_Window* window);
    static void SetSharedContextMaker(SharedContextMaker maker);
    // Releases both contexts; every GL object must be gone by then.
    void Destroy();
    // The contexts exist.
    bool Ready() const { return mainContext_ != nullptr; }
    // The graphics adapter's name.
    const char* AdapterName() const;
    // The largest width and height of a texture the driver makes.
    uint32_t MaxTextureSide() const { return maxTextureSide_; }

    bool OnMainThread() const;
    void MakeMainCurrent();
    // On a thread other than the main one, makes the loading context current
    // there (the first call of the thread does the work).
    void MakeThreadContextCurrent();
    // On a thread other than the main one, waits until its uploads are done:
    // the main context may use the objects only then.
    void PublishUploads();
    // Shows the frame; the milliseconds the swap took.
    double Present();

private:
    SDL_Window* window_ = nullptr;
    GlContextPtr mainContext_;
    SdlWindowPtr loaderWindow_;
    GlContextPtr loaderContext_;
    std::thread::id mainThread_;
    std::mutex loaderContextMutex_;
    uint32_t maxTextureSide_ = 0;
};
