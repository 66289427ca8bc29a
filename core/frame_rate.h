#pragma once
// A frame rate as an exact fraction of frames a second (30000/1001 for NTSC's
// 29.97). The time of frame n is computed from n as a fraction, never by
// adding steps, so a show of any length has no drift.

#include <cstdint>
#include <string>

struct FrameRate {
    int64_t frames = 0;   // numerator: frames ...
    int64_t seconds = 1;  // ... in this many seconds

    FrameRate() = default;
    // A whole number of frames a second.
    FrameRate(int perSecond) : frames(perSecond) {}  // NOLINT: a whole rate reads as a number
    FrameRate(int64_t framesIn, int64_t secondsIn) : frames(framesIn), seconds(secondsIn) {}

    bool Valid() const { return frames > 0 && seconds > 0; }
    double PerSecond() const { return static_cast<double>(frames) / static_cast<double>(seconds); }
    // The time of frame n, seconds.
    double TimeOf(int64_t frame) const;
    // The frame whose time is nearest to `seconds`.
    int64_t FrameAt(double seconds) const;
    // "60" or "30000/1001".
    std::string Text() const;

    bool operator==(const FrameRate& other) const
    {
        return frames * other.seconds == other.frames * seconds;
    }
};

// Reads a frame rate: a whole number ("60"), a fraction ("30000/1001"), or
// one of the NTSC rates written as decimals (23.976, 29.97, 59.94, 119.88),
// which mean their exact fractions. The fraction is kept in lowest terms.
// Empty on success, else the reason.
std::string ParseFrameRate(const std::string& text, FrameRate* rate);
