#pragma once
// Effects applied while mixing: echoes that bounce between the sides, a
// small room reverb, and the ducking of sustained parts under the kick.

#include <vector>

#include "tools/common/stereo_signal.h"
#include "tools/musicgen/score.h"

// The dry mono track in both channels plus echoes every `delaySeconds`,
// alternating right and left, each `feedback` times the one before.
StereoSignal PingPongEcho(const std::vector<float>& dry, double delaySeconds, float feedback,
                          float wet);

// Parallel feedback combs into series all-passes, with slightly different
// lengths per side for width.
class Reverb {
public:
    Reverb();
    // One input sample in, one sample per side out (wet only).
    void Process(float input, float* left, float* right);

private:
    struct Comb {
        std::vector<float> line;
        size_t at = 0;
        float damped = 0.0f;
        float Process(float input, float feedback, float damping);
    };
    struct AllPass {
        std::vector<float> line;
        size_t at = 0;
        float Process(float input);
    };
    std::vector<Comb> leftCombs_, rightCombs_;
    std::vector<AllPass> leftPasses_, rightPasses_;
};

// A gain per sample, 1 except just after each kick, where it dips by
// `depth` and recovers, so that bass and pad make room for the kick.
std::vector<float> KickDucking(const std::vector<DrumHit>& drums, size_t frames, float depth);
