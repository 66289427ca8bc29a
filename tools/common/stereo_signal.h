#pragma once
// Two channels of audio samples, normally in -1..1.

#include <cstddef>
#include <vector>

struct StereoSignal {
    std::vector<float> left;
    std::vector<float> right;  // as many as left

    StereoSignal() = default;
    explicit StereoSignal(size_t frames) : left(frames, 0.0f), right(frames, 0.0f) {}

    size_t Frames() const { return left.size(); }
};
