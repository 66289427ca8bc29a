#pragma once
// Each instrument's part of the score rendered into a track of its own.

#include <vector>

#include "tools/common/stereo_signal.h"
#include "tools/musicgen/score.h"

struct InstrumentTracks {
    std::vector<float> kick;
    std::vector<float> snare;  // snares and claps
    StereoSignal cymbals;      // hats, crashes and risers
    std::vector<float> bass;
    StereoSignal pad;
    std::vector<float> lead;

    explicit InstrumentTracks(size_t frames)
        : kick(frames), snare(frames), cymbals(frames), bass(frames), pad(frames), lead(frames)
    {
    }
};

// Renders the six tracks on as many threads; notes past the end of the
// tracks are left out.
void RenderInstrumentTracks(const Score& score, InstrumentTracks& tracks);
