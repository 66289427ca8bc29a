#include "render/gl/gl_device.h"

#include <SDL.h>
#include <epoxy/gl.h>

#include <algorithm>
#include <atomic>

#include "render/gl/gl_objects.h"

namespace {

constexpr GLuint64 kUploadWaitNs = 5'000'000'000ull;

// Releases the loading thread's context when that thread ends, so that a
// later thread can take it.
struct ThreadContext {
    SDL_Window* window = nullptr;
    ~ThreadContext()
    {
        if (window) {
            SDL_GL_MakeCurrent(window, nullptr);
        }
    }
};

thread_local ThreadContext threadContext;

void* CreateContext(SDL_Window* window, bool shareWithCurrent)
{
    SDL_GL_SetAttribute(SDL_GL_SHARE_WITH_CURRENT_CONTEXT, shareWithCurrent ? 1 : 0);
    SDL_GLContext context = SDL_GL_CreateContext(window);
    SDL_GL_SetAttribute(SDL_GL_SHARE_WITH_CURRENT_CONTEXT, 0);
    return context;
}

void* CreateSharedContext(SDL_Window* window)
{
    return CreateContext(window, true);
}

std::atomic<GlDevice::SharedContextMaker> sharedContextMaker{CreateSharedContext};

}  // namespace

void GlDevice::SetSharedContextMaker(SharedContextMaker maker)
{
    sharedContextMaker.store(maker ? maker : CreateSharedContext);
}

void GlContextDeleter::operator()(void* context) const
{
    SDL_GL_DeleteContext(context);
}

GlDevice::~GlDevice()
{
    Destroy();
}

int GlDevice::Create(SDL_Window* window)
{
    window_ = window;
    mainThread_ = std::this_thread::get_id();
    SDL_GL_SetAttribute(SDL_GL_CONTEXT_MAJOR_VERSION, 4);
    SDL_GL_SetAttribute(SDL_GL_CONTEXT_MINOR_VERSION, 5);
    SDL_GL_SetAttribute(SDL_GL_CONTEXT_PROFILE_MASK, SDL_GL_CONTEXT_PROFILE_CORE);
    mainContext_.reset(CreateContext(window_, false));
    if (!mainContext_) {
        return -1;
    }
    if (epoxy_gl_version() < 45) {
        mainContext_.reset();
        return -1;
    }
    SDL_GL_SetSwapInterval(0);
    GLint maxTextureSide = 0;
    glGetIntegerv(GL_MAX_TEXTURE_SIZE, &maxTextureSide);
    maxTextureSide_ = static_cast<uint32_t>(std::max(maxTextureSide, 0));
    loaderWindow_ = CreateHiddenGlWindow("loader", 1, 1);
    if (loaderWindow_) {
        loaderContext_.reset(sharedContextMaker.load()(loaderWindow_.get()));
    }
    MakeMainCurrent();
    if (!loaderContext_) {
        // Without it the loading thread would upload with no context at all.
        Destroy();
        return -2;
    }
    // Left-handed projections with depth 0..1 are used as they are.
    glClipControl(GL_LOWER_LEFT, GL_ZERO_TO_ONE);
    glEnable(GL_TEXTURE_CUBE_MAP_SEAMLESS);
    return 0;
}

void GlDevice::Destroy()
{
    loaderContext_.reset();
    loaderWindow_.reset();
    if (mainContext_) {
        SDL_GL_MakeCurrent(window_, nullptr);
        mainContext_.reset();
    }
}

const char* GlDevice::AdapterName() const
{
    return reinterpret_cast<const char*>(glGetString(GL_RENDERER));
}

bool GlDevice::OnMainThread() const
{
    return std::this_thread::get_id() == mainThread_;
}

void GlDevice::MakeMainCurrent()
{
    SDL_GL_MakeCurrent(window_, mainContext_.get());
}

void GlDevice::MakeThreadContextCurrent()
{
    if (OnMainThread() || SDL_GL_GetCurrentContext() != nullptr || !loaderContext_) {
        return;
    }
    std::lock_guard<std::mutex> lock(loaderContextMutex_);
    if (SDL_GL_MakeCurrent(loaderWindow_.get(), loaderContext_.get()) == 0) {
        threadContext.window = loaderWindow_.get();
    }
}

void GlDevice::PublishUploads()
{
    if (OnMainThread()) {
        return;  // the main context orders its own commands
    }
    GlFence().Wait(kUploadWaitNs);
}

double GlDevice::Present()
{
    const Uint64 start = SDL_GetPerformanceCounter();
    SDL_GL_SwapWindow(window_);
    return static_cast<double>(SDL_GetPerformanceCounter() - start) * 1000.0 /
           static_cast<double>(SDL_GetPerformanceFrequency());
}
