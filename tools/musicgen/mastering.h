#pragma once
// The last steps before encoding: a peak limiter, and the measurements
// reported afterwards.

#include "tools/common/stereo_signal.h"

// Largest absolute sample of either channel.
float PeakOf(const StereoSignal& signal);

// Rides the gain so that no sample exceeds `ceiling`: each reduction starts
// `attackSeconds` before the peak that needs it and recovers over
// `releaseSeconds` afterwards, so the gain never jumps. Returns the lowest
// gain applied (1 when nothing needed limiting).
float LimitPeaks(StereoSignal& signal, float ceiling, double attackSeconds, double releaseSeconds);

// Ramps the last `seconds` down to silence.
void FadeOut(StereoSignal& signal, double seconds);
