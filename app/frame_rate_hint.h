#pragma once
// Watches the real-time frame rate over the first seconds of the show and,
// when it stays low, gives one line suggesting a smaller picture.

#include <string>

class FrameRateHint {
public:
    static constexpr double kWatchedMs = 3000.0;
    static constexpr double kLowFramesPerSecond = 15.0;

    // One frame of the show that took frameMs. True exactly once: when the
    // first kWatchedMs of the show are over and their frames came slower
    // than kLowFramesPerSecond. The first frame is left out: it carries the
    // start of the show.
    bool AddFrame(double frameMs);
    // Frames a second over the watched span (0 before any was counted).
    double FramesPerSecond() const;

    // The line to print, for a picture of width x height.
    static std::string Text(double framesPerSecond, unsigned width, unsigned height);

private:
    bool started_ = false;
    bool decided_ = false;
    double watchedMs_ = 0.0;
    int frames_ = 0;
};
