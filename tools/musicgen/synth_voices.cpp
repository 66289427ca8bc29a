#include "tools/musicgen/synth_voices.h"

#include "tools/musicgen/dsp.h"
#include "tools/musicgen/envelope.h"

namespace {

constexpr EnvelopeShape kBassShape{0.004f, 0.3f, 0.8f, 0.02f};
constexpr EnvelopeShape kPadShape{0.3f, 1.0f, 0.85f, 0.3f};
constexpr EnvelopeShape kLeadShape{0.005f, 0.25f, 0.7f, 0.06f};

float Detuned(float frequency, float cents)
{
    return frequency * std::exp2(cents / 1200.0f);
}

}  // namespace

void AddBassNote(std::vector<float>& track, const NoteEvent& note)
{
    const float frequency = NoteFrequency(note.pitch);
    const SampleSpan span = SpanOf(note.start, kBassShape.Seconds(note.length), track.size());
    Envelope envelope(kBassShape, note.length);
    Saw upper(Detuned(frequency, 9.0f), 0.0f);
    Saw lower(Detuned(frequency, -9.0f), 0.5f);
    Svf filter;
    const float pluckDecay = std::exp(-1.0f / (0.08f * kSampleRate));
    float pluck = 1.0f;
    double subPhase = 0.0;
    for (size_t i = 0; i < span.count; ++i) {
        if (i % kControlInterval == 0) {
            filter.Set(90.0f + 900.0f * note.brightness + 1500.0f * note.brightness * pluck, 1.2f);
        }
        const float saws = filter.Process(upper.Next() + lower.Next()).low;
        const float sub = std::sin(kTwoPi * static_cast<float>(subPhase));
        const float value = (0.35f * saws + 0.75f * sub) * envelope.Next() * note.velocity;
        track[span.first + i] += std::tanh(1.3f * value) * 0.7f;
        subPhase += frequency / kSampleRate;
        subPhase -= std::floor(subPhase);
        pluck *= pluckDecay;
    }
}

void AddPadNote(StereoSignal& track, const NoteEvent& note, uint32_t seed)
{
    const float frequency = NoteFrequency(note.pitch);
    const SampleSpan span = SpanOf(note.start, kPadShape.Seconds(note.length), track.Frames());
    Envelope envelope(kPadShape, note.length);
    Saw left(Detuned(frequency, -7.0f), 0.13f * static_cast<float>(seed % 7));
    Saw right(Detuned(frequency, 7.0f), 0.11f * static_cast<float>(seed % 5));
    Svf leftFilter;
    Svf rightFilter;
    const float driftPhase = 0.37f * static_cast<float>(seed % 17);
    const float baseCutoff = 250.0f + 3000.0f * note.brightness;
    for (size_t i = 0; i < span.count; ++i) {
        if (i % kControlInterval == 0) {
            const float t = static_cast<float>(span.first + i) / kSampleRate;
            const float drift = 1.0f + 0.2f * std::sin(kTwoPi * 0.15f * t + driftPhase);
            leftFilter.Set(baseCutoff * drift, 0.9f);
            rightFilter.Set(baseCutoff / drift, 0.9f);
        }
        const float level = envelope.Next() * note.velocity * 0.09f;
        track.left[span.first + i] += leftFilter.Process(left.Next()).low * level;
        track.right[span.first + i] += rightFilter.Process(right.Next()).low * level;
    }
}

void AddLeadNote(std::vector<float>& track, const NoteEvent& note)
{
    const float frequency = NoteFrequency(note.pitch);
    const SampleSpan span = SpanOf(note.start, kLeadShape.Seconds(note.length), track.size());
    Envelope envelope(kLeadShape, note.length);
    Saw saw(frequency, 0.0f);
    Saw shifted(frequency, 0.5f);  // saw minus a half-cycle-shifted saw is a square
    Svf filter;
    const float pluckDecay = std::exp(-1.0f / (0.25f * kSampleRate));
    float pluck = 1.0f;
    for (size_t i = 0; i < span.count; ++i) {
        if (i % kControlInterval == 0) {
            const float t = static_cast<float>(i) / kSampleRate;
            const float vibrato = t > 0.15f ? 0.25f * std::sin(kTwoPi * 5.5f * (t - 0.15f)) : 0.0f;
            const float bent = Detuned(frequency, 100.0f * vibrato);
            saw.SetFrequency(bent);
            shifted.SetFrequency(bent);
            filter.Set(400.0f + 5000.0f * note.brightness * (0.35f + 0.65f * pluck), 2.0f);
        }
        const float a = saw.Next();
        const float square = a - shifted.Next();
        const float value = filter.Process(0.6f * a + 0.3f * square).low;
        track[span.first + i] += value * envelope.Next() * note.velocity * 0.28f;
        pluck *= pluckDecay;
    }
}
