#pragma once
// Encodes a stereo signal as an Ogg Vorbis file (variable bit rate).

#include <filesystem>
#include <string>

#include "tools/common/stereo_signal.h"

// quality: -0.1 (smallest) .. 1.0 (best). Empty on success, otherwise the
// reason; a partly written file is removed.
std::string WriteOggVorbis(const std::filesystem::path& path, const StereoSignal& signal,
                           int sampleRate, float quality);
