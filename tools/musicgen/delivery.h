#pragma once
// Writing the finished song so that the file itself stays below full scale:
// lossy encoding can push peaks above those of the signal it was given, so
// the file is decoded again and, when its peak is too high, written again
// a little quieter.

#include <filesystem>
#include <string>

#include "tools/common/stereo_signal.h"

// Decodes an Ogg Vorbis file. Empty on success with its peak, length,
// channel count and sample rate filled in; otherwise the reason.
struct DecodedFacts {
    float peak = 0.0f;
    double seconds = 0.0;
    int channels = 0;
    long sampleRate = 0;
};
std::string InspectOggVorbis(const std::filesystem::path& path, DecodedFacts* facts);

// Encodes the signal (which may be scaled down on the way) until the
// decoded file peaks below `ceiling`. Empty on success, facts filled in.
std::string WriteBelowCeiling(const std::filesystem::path& path, StereoSignal& signal,
                              float ceiling, DecodedFacts* facts);
