#pragma once
// The demo clock, driven one of two ways. In real time every frame lasts as
// long as the frame timer measured and the demo time is their sum. On fixed
// steps every frame lasts exactly 1/fps seconds (fps may be a fraction, as
// 30000/1001) and the demo time of the show's n-th frame is n/fps, computed
// from the frame number, so a run does the same whatever the machine's speed
// and never drifts. Frame 0 is the instant the
// show begins: a render draws it, live play starts counting after it.

#include <cstdint>

#include "core/frame_rate.h"

class DemoClock {
public:
    // fps 0: real time.
    explicit DemoClock(int fixedFps = 0);
    explicit DemoClock(FrameRate fixedRate);

    bool FixedStep() const { return fps_.Valid(); }
    FrameRate Rate() const { return fps_; }
    double StepMs() const { return 1000.0 / fps_.PerSecond(); }

    // The duration of the frame that begins, in milliseconds: as the frame
    // timer measured it, or one step.
    double BeginFrame(double measuredMs) const;
    // The demo time after the show has run one more frame of frameMs.
    float AdvanceShow(float demoTime, double frameMs);
    // The show time that frame added, in milliseconds: what the actors live
    // through in it. None for frame 0.
    double AdvancedMs() const { return advancedMs_; }
    // The last show frame run (fixed steps); -1 before frame 0.
    int64_t ShowFrames() const { return showFrames_; }
    // The show's last frame run is `frame`: after a jump, or -1 to run the
    // show from frame 0.
    void RestartAt(int64_t frame) { showFrames_ = frame; }

    // The demo time of the show's n-th frame on fixed steps.
    float TimeOfFrame(int64_t frame) const;
    // The show frame whose demo time is `seconds` (the nearest).
    int64_t FrameAt(double seconds) const;

private:
    FrameRate fps_;  // not Valid: real time
    int64_t showFrames_ = 0;
    double advancedMs_ = 0.0;
};
