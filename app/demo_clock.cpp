#include "app/demo_clock.h"

DemoClock::DemoClock(int fixedFps) : fps_(fixedFps > 0 ? fixedFps : 0) {}

DemoClock::DemoClock(FrameRate fixedRate) : fps_(fixedRate.Valid() ? fixedRate : FrameRate(0)) {}

double DemoClock::BeginFrame(double measuredMs) const
{
    return FixedStep() ? StepMs() : measuredMs;
}

float DemoClock::AdvanceShow(float demoTime, double frameMs)
{
    if (!FixedStep()) {
        advancedMs_ = frameMs;
        return demoTime + static_cast<float>(frameMs * 0.001);
    }
    ++showFrames_;
    advancedMs_ = showFrames_ > 0 ? StepMs() : 0.0;
    return TimeOfFrame(showFrames_);
}

float DemoClock::TimeOfFrame(int64_t frame) const
{
    return static_cast<float>(fps_.TimeOf(frame));
}

int64_t DemoClock::FrameAt(double seconds) const
{
    return fps_.FrameAt(seconds);
}
