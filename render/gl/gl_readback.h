#pragma once
// Frames read back for recording. Each finished frame is copied from the
// window's back buffer into the next of a ring of pixel-pack buffers, and
// taken out of the ring only once a newer frame is queued behind it, so a
// read never waits for the frame just drawn.

#include <cstdint>
#include <vector>

#include "render/gl/gl_objects.h"

class FrameReadback {
public:
    FrameReadback(unsigned width, unsigned height, int ringSize = 3);

    // Queues the read of the frame in the window's back buffer.
    void Queue();
    // The oldest frame not yet taken (width x height RGBA, top row first)
    // once a newer one is queued behind it, or with `drain` as soon as there
    // is one; null otherwise. Valid until the next call.
    const uint8_t* Take(bool drain);

private:
    unsigned width_;
    unsigned height_;
    std::vector<GlBuffer> ring_;
    int64_t queued_ = 0;
    int64_t taken_ = 0;
    std::vector<uint8_t> frame_;
};
