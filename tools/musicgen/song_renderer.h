#pragma once
// Renders the song: every instrument into its own track (in parallel),
// then the mix with its effects, limited below full scale.

#include "tools/common/stereo_signal.h"

// The peak level the mix is limited to, 2 dB below full scale: lossy
// encoding adds peaks of its own.
constexpr float kMasterCeiling = 0.8f;

// Seconds of the full song, its instruments' last tails included.
double FullSongSeconds();

struct RenderedSong {
    StereoSignal signal;
    float limiterGain;  // the deepest gain reduction the limiter applied
};

// The first `seconds` of the song (at most FullSongSeconds()), faded out at
// the end when cut short.
RenderedSong RenderSong(double seconds);
