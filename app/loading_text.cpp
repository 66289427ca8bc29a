#include "app/loading_text.h"

#include <cstdlib>
#include <cstring>

namespace {

constexpr int kMessageLength = sizeof(kLoadingMessage) - 1;  // 19
constexpr float kStepMs = 20.0f;

}  // namespace

void AnimateLoadingText(char* buffer, float dtMs, LoadingTextEffect& effect)
{
    effect.rollElapsedMs += dtMs;
    if (!effect.rolling) {
        const int index = std::rand() % kMessageLength;
        const char letter = kLoadingMessage[index];
        if (letter == ' ' || letter == '\n') {
            return;
        }
        effect.rolling = true;
        effect.rollIndex = index;
        effect.rollChar = static_cast<unsigned char>(letter - std::rand() % 30);
        std::memcpy(buffer, kLoadingMessage, sizeof(kLoadingMessage));
        buffer[index] = static_cast<char>(effect.rollChar);
        effect.rollElapsedMs = 0.0f;
        return;
    }
    if (effect.rollElapsedMs < kStepMs) {
        return;
    }
    effect.rollElapsedMs = 0.0f;
    if (effect.rollChar == static_cast<unsigned char>(kLoadingMessage[effect.rollIndex])) {
        effect.rolling = false;
    }
    ++effect.rollChar;
    buffer[effect.rollIndex] = static_cast<char>(effect.rollChar);
}
