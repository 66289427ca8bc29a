#include "tools/musicgen/delivery.h"

#include <vorbis/vorbisfile.h>

#include <algorithm>
#include <cmath>

#include "tools/common/ogg_vorbis_writer.h"
#include "tools/musicgen/song_timing.h"

namespace {

constexpr float kEncoderQuality = 0.5f;
constexpr int kAttempts = 4;

// Closes the decoder however the inspection ends.
struct OpenVorbisFile {
    OggVorbis_File file{};
    bool open = false;
    ~OpenVorbisFile()
    {
        if (open) {
            ov_clear(&file);
        }
    }
};

void Scale(StereoSignal& signal, float gain)
{
    for (size_t i = 0; i < signal.Frames(); ++i) {
        signal.left[i] *= gain;
        signal.right[i] *= gain;
    }
}

}  // namespace

std::string InspectOggVorbis(const std::filesystem::path& path, DecodedFacts* facts)
{
    OpenVorbisFile vorbis;
    if (ov_fopen(path.c_str(), &vorbis.file) != 0) {
        return "cannot decode '" + path.string() + "'";
    }
    vorbis.open = true;
    const vorbis_info* info = ov_info(&vorbis.file, -1);
    facts->channels = info->channels;
    facts->sampleRate = info->rate;
    facts->peak = 0.0f;
    size_t frames = 0;
    for (;;) {
        float** pcm = nullptr;
        int section = 0;
        const long count = ov_read_float(&vorbis.file, &pcm, 4096, &section);
        if (count == 0) {
            break;
        }
        if (count < 0) {
            // Built by appending: GCC 12 warns falsely (-Wrestrict) on a
            // chain of + over temporaries once it inlines them at -O3.
            std::string damaged = "'";
            damaged.append(path.string()).append("' is damaged");
            return damaged;
        }
        for (int channel = 0; channel < info->channels; ++channel) {
            for (long i = 0; i < count; ++i) {
                facts->peak = std::max(facts->peak, std::fabs(pcm[channel][i]));
            }
        }
        frames += static_cast<size_t>(count);
    }
    facts->seconds = static_cast<double>(frames) / static_cast<double>(info->rate);
    return {};
}

std::string WriteBelowCeiling(const std::filesystem::path& path, StereoSignal& signal,
                              float ceiling, DecodedFacts* facts)
{
    for (int attempt = 0; attempt < kAttempts; ++attempt) {
        if (std::string problem = WriteOggVorbis(path, signal, kSampleRate, kEncoderQuality);
            !problem.empty()) {
            return problem;
        }
        if (std::string problem = InspectOggVorbis(path, facts); !problem.empty()) {
            return problem;
        }
        if (facts->peak < ceiling) {
            return {};
        }
        Scale(signal, 0.97f * ceiling / facts->peak);
    }
    return "the encoded file still peaks at " + std::to_string(facts->peak) + " after " +
           std::to_string(kAttempts) + " attempts";
}
