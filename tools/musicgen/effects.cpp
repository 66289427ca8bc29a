#include "tools/musicgen/effects.h"

#include <cmath>

#include "tools/musicgen/dsp.h"

StereoSignal PingPongEcho(const std::vector<float>& dry, double delaySeconds, float feedback,
                          float wet)
{
    const auto delay = static_cast<size_t>(delaySeconds * kSampleRate);
    StereoSignal out(dry.size());
    std::vector<float> right(delay, 0.0f);  // what will come out on the right
    std::vector<float> left(delay, 0.0f);   // and on the left, one delay later
    for (size_t i = 0; i < dry.size(); ++i) {
        const size_t at = i % delay;
        const float toRight = right[at];
        const float toLeft = left[at];
        right[at] = dry[i] + toLeft * feedback;
        left[at] = toRight * feedback;
        out.left[i] = dry[i] + toLeft * wet;
        out.right[i] = dry[i] + toRight * wet;
    }
    return out;
}

float Reverb::Comb::Process(float input, float feedback, float damping)
{
    const float output = line[at];
    damped = output * (1.0f - damping) + damped * damping;
    line[at] = input + damped * feedback;
    at = at + 1 == line.size() ? 0 : at + 1;
    return output;
}

float Reverb::AllPass::Process(float input)
{
    const float delayed = line[at];
    const float output = delayed - input;
    line[at] = input + delayed * 0.5f;
    at = at + 1 == line.size() ? 0 : at + 1;
    return output;
}

Reverb::Reverb()
{
    constexpr size_t kCombLengths[4] = {1116, 1188, 1277, 1356};
    constexpr size_t kPassLengths[2] = {556, 441};
    constexpr size_t kSpread = 23;
    for (size_t length : kCombLengths) {
        leftCombs_.push_back({std::vector<float>(length, 0.0f)});
        rightCombs_.push_back({std::vector<float>(length + kSpread, 0.0f)});
    }
    for (size_t length : kPassLengths) {
        leftPasses_.push_back({std::vector<float>(length, 0.0f)});
        rightPasses_.push_back({std::vector<float>(length + kSpread, 0.0f)});
    }
}

void Reverb::Process(float input, float* left, float* right)
{
    constexpr float kFeedback = 0.84f;
    constexpr float kDamping = 0.3f;
    float l = 0.0f;
    float r = 0.0f;
    for (size_t c = 0; c < leftCombs_.size(); ++c) {
        l += leftCombs_[c].Process(input, kFeedback, kDamping);
        r += rightCombs_[c].Process(input, kFeedback, kDamping);
    }
    for (size_t p = 0; p < leftPasses_.size(); ++p) {
        l = leftPasses_[p].Process(l);
        r = rightPasses_[p].Process(r);
    }
    *left = l * 0.25f;
    *right = r * 0.25f;
}

std::vector<float> KickDucking(const std::vector<DrumHit>& drums, size_t frames, float depth)
{
    std::vector<float> gain(frames, 1.0f);
    const float recovery = std::exp(-1.0f / (0.09f * kSampleRate));
    for (const DrumHit& hit : drums) {
        if (hit.sound != DrumSound::Kick) {
            continue;
        }
        const SampleSpan span = SpanOf(hit.start, 0.5, frames);
        float dip = depth * hit.velocity;
        for (size_t i = 0; i < span.count; ++i) {
            gain[span.first + i] = std::min(gain[span.first + i], 1.0f - dip);
            dip *= recovery;
        }
    }
    return gain;
}
