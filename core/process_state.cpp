#include "core/process_state.h"

namespace {
std::atomic<int> viewportWidth{0};
std::atomic<int> viewportHeight{0};
}  // namespace

float frameDeltaMs = 0.0f;
float demoTime = 0.0f;
float eventLatenessMs = 0.0f;
std::atomic<bool> musicStarted{false};
std::atomic<bool> quitRequested{false};

void GetViewportSize(int* width, int* height)
{
    if (width) {
        *width = viewportWidth.load();
    }
    if (height) {
        *height = viewportHeight.load();
    }
}

void SetViewportSize(int width, int height)
{
    viewportWidth.store(width);
    viewportHeight.store(height);
}
