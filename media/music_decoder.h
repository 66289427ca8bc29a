#pragma once
// One pass through a music file: demuxed and decoded with FFmpeg's libraries,
// resampled to planar float stereo at the rate the sound encoder wants.

extern "C" {
#include <libavformat/avformat.h>
}

#include <cstdint>
#include <memory>
#include <string>

#include "media/av_util.h"

class MusicDecoder {
public:
    // Null, with the reason, when the file cannot be opened, holds no sound
    // stream or its decoder is missing.
    static std::unique_ptr<MusicDecoder> Open(const std::string& path, std::string* error);
    ~MusicDecoder();

    int SourceRate() const { return decoder_->sample_rate; }
    // The length the file states, in seconds; 0 when it states none.
    double LengthSeconds() const { return lengthSeconds_; }
    // Sets the rate of the samples DecodeSome gives; call once, before it.
    bool StartResampling(int rate, std::string* error);

    enum class Result { More, End, Failed };
    // Decodes the next packet's samples into `out` (planar float stereo); End
    // after the last samples, Failed with the reason.
    Result DecodeSome(AVAudioFifo* out, std::string* error);

private:
    MusicDecoder() = default;
    bool OpenDecoder(std::string* error);
    Result ReceiveFrames(AVAudioFifo* out, std::string* error);
    void FindLength();
    void KeepEndOfLastPacket();
    bool Resample(const AVFrame* frame, AVAudioFifo* out, std::string* error);

    std::string path_;
    AVFormatContext* input_ = nullptr;
    int streamIndex_ = -1;
    AvPtr<AVCodecContext> decoder_;
    AvPtr<SwrContext> resampler_;
    AvPtr<AVPacket> packet_;
    AvPtr<AVFrame> frame_;
    bool draining_ = false;
    int64_t samplesLeft_ = -1;  // source samples still to come, when the file says how many
    double lengthSeconds_ = 0.0;
};
