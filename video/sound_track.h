#pragma once
// The sound track of a video: the music from the start to the end of the
// span the video covers, the music starting again from its beginning whenever
// it ends, as the player loops it. Planar float stereo.

#include <cstdint>
#include <memory>
#include <string>

#include "media/av_util.h"
#include "media/music_decoder.h"

class SoundTrack {
public:
    // Null, with the reason, when the music cannot be decoded.
    // `rate` 0: 44100 when the music has it, else 48000.
    static std::unique_ptr<SoundTrack> Open(const std::string& path, double startSeconds, double endSeconds,
                                            std::string* error, int rate = 0);

    // Samples a second.
    int SampleRate() const { return rate_; }
    // Samples per channel in the span.
    int64_t TotalSamples() const { return total_; }
    // Samples per channel the track still gives.
    int64_t RemainingSamples() const { return total_ - given_; }

    // The next `count` samples (no more than remain) of each channel.
    bool Read(float* left, float* right, int count, std::string* error);

private:
    SoundTrack() = default;
    bool Fill(int count, std::string* error);
    bool Restart(std::string* error);
    bool SkipToStart(std::string* error);

    std::string path_;
    int rate_ = 0;
    int64_t skip_ = 0;   // samples before the span, dropped on the first read
    int64_t total_ = 0;
    int64_t given_ = 0;
    int64_t passSamples_ = 0;  // samples the current pass through the music gave
    std::unique_ptr<MusicDecoder> music_;
    AvPtr<AVAudioFifo> pending_;
};
