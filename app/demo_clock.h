#pragma once
// The demo clock, driven one of two ways. In real time every frame lasts as
// long as the frame timer measured and the demo time is their sum. On fixed
// steps every frame lasts exactly 1/fps seconds and the demo time of the
// show's n-th frame is n/fps, computed from the frame number, so a run
// does the same whatever the machine's speed.

#include <cstdint>

class DemoClock {
public:
    // fps 0: real time.
    explicit DemoClock(int fixedFps = 0);

    bool FixedStep() const { return fps_ > 0; }
    int Fps() const { return fps_; }
    double StepMs() const { return 1000.0 / fps_; }

    // The duration of the frame that begins, in milliseconds: measured, or
    // one step.
    double BeginFrame();
    // The demo time after the show has run one more frame of frameMs.
    float AdvanceShow(float demoTime, double frameMs);
    // Frames the show has run (fixed steps).
    int64_t ShowFrames() const { return showFrames_; }
    // The show counts as having run `frames` frames: after a jump.
    void RestartAt(int64_t frames) { showFrames_ = frames; }

    // The demo time of the show's n-th frame on fixed steps.
    float TimeOfFrame(int64_t frame) const;
    // The show frame whose demo time is `seconds` (the nearest).
    int64_t FrameAt(double seconds) const;

private:
    int fps_;
    int64_t showFrames_ = 0;
};
