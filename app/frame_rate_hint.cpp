#include "app/frame_rate_hint.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

bool FrameRateHint::AddFrame(double frameMs)
{
    if (decided_ || !std::isfinite(frameMs) || frameMs < 0.0) {
        return false;
    }
    if (!started_) {
        started_ = true;
        return false;
    }
    watchedMs_ += frameMs;
    ++frames_;
    if (watchedMs_ < kWatchedMs) {
        return false;
    }
    decided_ = true;
    return FramesPerSecond() < kLowFramesPerSecond;
}

double FrameRateHint::FramesPerSecond() const
{
    return watchedMs_ > 0.0 ? frames_ * 1000.0 / watchedMs_ : 0.0;
}

std::string FrameRateHint::Text(double framesPerSecond, unsigned width, unsigned height)
{
    // Half the width and height: a quarter of the pixels to draw.
    const unsigned smallerWidth = std::max(width / 2, 1u);
    const unsigned smallerHeight = std::max(height / 2, 1u);
    char text[160];
    std::snprintf(text, sizeof text,
                  "demoplayer: the show plays at %.1f frames a second here; for a smoother picture try --size %ux%u",
                  framesPerSecond, smallerWidth, smallerHeight);
    return text;
}
