#pragma once
// The "Loading please wait" text, one letter of which at a time rolls up to
// its true value, a character code every 20 ms.

#include <cstddef>

inline constexpr const char kLoadingMessage[] = "Loading please wait";
inline constexpr size_t kLoadingTextBytes = 80;

struct LoadingTextEffect {
    bool rolling = false;
    int rollIndex = 0;
    unsigned char rollChar = 0;
    float rollElapsedMs = 0.0f;
};

// Advances the effect by one frame of dtMs, writing into the text buffer
// (at least kLoadingTextBytes long). Random choices come from rand().
void AnimateLoadingText(char* buffer, float dtMs, LoadingTextEffect& effect);