#pragma once
// Progress of long work on standard error: frames done of the total, the
// show time reached, frames per second and the time left. On a terminal the
// line rewrites itself and stays whole below any line printed meanwhile;
// otherwise a plain line comes every few seconds.

#include <chrono>
#include <cstdint>
#include <string>

#include "core/frame_rate.h"

class ProgressLine {
public:
    // `total` frames at `fps`, the first showing `firstSeconds` of the show.
    ProgressLine(int64_t total, double firstSeconds, FrameRate fps);

    void Update(int64_t done);
    // The last line, whatever the time since the one before.
    void Finish(int64_t done);

    // The text of the line for `done` frames after `elapsedSeconds`.
    std::string Text(int64_t done, double elapsedSeconds) const;

private:
    using Clock = std::chrono::steady_clock;
    void Print(int64_t done, bool last);

    int64_t total_;
    double firstSeconds_;
    FrameRate fps_;
    bool terminal_;
    Clock::time_point started_;
    Clock::time_point lastPrinted_;
};
