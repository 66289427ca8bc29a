#pragma once
// Frames read back as they are drawn, for a recording of the show.

#include <cstdint>

class FrameCapture {
public:
    virtual ~FrameCapture() = default;

    // From now on every frame drawn is also read back, to be taken in order
    // with TakeCapturedFrame.
    virtual void StartCapture() = 0;
    // The oldest frame read back and not yet taken (CapturedWidth x
    // CapturedHeight RGBA, top row first), or null while none is ready; with
    // `drain`, the frames still in flight are waited for. Valid until the
    // next call.
    virtual const uint8_t* TakeCapturedFrame(bool drain = false) = 0;
    // The size of a captured frame, pixels: the whole window the picture is
    // shown in.
    virtual unsigned CapturedWidth() const = 0;
    virtual unsigned CapturedHeight() const = 0;
};
