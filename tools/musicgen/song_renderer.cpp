#include "tools/musicgen/song_renderer.h"

#include <algorithm>
#include <utility>

#include "tools/musicgen/arrangement.h"
#include "tools/musicgen/effects.h"
#include "tools/musicgen/instrument_tracks.h"
#include "tools/musicgen/mastering.h"
#include "tools/musicgen/song_timing.h"

namespace {

// Room for the last chord's release and the reverb's tail.
constexpr double kTailSeconds = 4.0;

// Track levels in the mix, and how much of each goes to the reverb.
struct TrackLevel {
    float dry;
    float reverb;
};
constexpr TrackLevel kKick{1.0f, 0.0f};
constexpr TrackLevel kSnare{0.8f, 0.35f};
constexpr TrackLevel kCymbals{0.8f, 0.1f};
constexpr TrackLevel kBass{0.5f, 0.0f};
constexpr TrackLevel kPad{1.5f, 0.6f};
constexpr TrackLevel kLead{0.55f, 0.3f};
constexpr float kReverbReturn = 0.5f;
constexpr float kMasterGain = 0.8f;

StereoSignal Mix(const InstrumentTracks& tracks, const std::vector<float>& ducking)
{
    const StereoSignal lead = PingPongEcho(tracks.lead, 3 * kStepSeconds, 0.38f, 0.45f);
    StereoSignal mix(tracks.kick.size());
    Reverb reverb;
    for (size_t i = 0; i < mix.Frames(); ++i) {
        const float duck = ducking[i];
        const float centre = tracks.kick[i] * kKick.dry + tracks.snare[i] * kSnare.dry +
                             tracks.bass[i] * kBass.dry * duck;
        const float send =
            tracks.snare[i] * kSnare.reverb +
            (tracks.cymbals.left[i] + tracks.cymbals.right[i]) * 0.5f * kCymbals.reverb +
            (tracks.pad.left[i] + tracks.pad.right[i]) * 0.5f * kPad.reverb * duck +
            tracks.lead[i] * kLead.reverb;
        float wetLeft = 0.0f;
        float wetRight = 0.0f;
        reverb.Process(send, &wetLeft, &wetRight);
        mix.left[i] = kMasterGain * (centre + tracks.cymbals.left[i] * kCymbals.dry +
                                     tracks.pad.left[i] * kPad.dry * duck +
                                     lead.left[i] * kLead.dry + wetLeft * kReverbReturn);
        mix.right[i] = kMasterGain * (centre + tracks.cymbals.right[i] * kCymbals.dry +
                                      tracks.pad.right[i] * kPad.dry * duck +
                                      lead.right[i] * kLead.dry + wetRight * kReverbReturn);
    }
    return mix;
}

}  // namespace

double FullSongSeconds()
{
    return SongSeconds() + kTailSeconds;
}

RenderedSong RenderSong(double seconds)
{
    const double length = std::clamp(seconds, 0.0, FullSongSeconds());
    const auto frames = static_cast<size_t>(SampleAt(length));
    const Score score = WriteScore();
    InstrumentTracks tracks(frames);
    RenderInstrumentTracks(score, tracks);
    StereoSignal song = Mix(tracks, KickDucking(score.drums, frames, 0.6f));
    FadeOut(song, length < FullSongSeconds() ? 0.05 : kTailSeconds * 0.5);
    const float limiterGain = LimitPeaks(song, kMasterCeiling, 0.002, 0.08);
    return {std::move(song), limiterGain};
}
