#pragma once
// The sound of a video: the sound track encoded in the container's sound
// codec (AAC, FLAC, 16-bit PCM or Opus; stereo), as far into the span as the
// picture has come.

#include <cstdint>
#include <memory>
#include <string>

#include "media/av_util.h"
#include "video/output_file.h"
#include "video/sound_track.h"
#include "video/video_format.h"

class SoundEncoder {
public:
    // The sample rate the codec needs (Opus: 48000), or 0 for the music's own.
    static int RateFor(SoundCodec codec);
    // Null, with the reason, when no encoder of the codec opens.
    static std::unique_ptr<SoundEncoder> Open(OutputFile& file, SoundCodec codec, std::unique_ptr<SoundTrack> track,
                                              std::string* error);

    // Keeps pace with the picture: encodes every whole encoder frame that
    // ends by `seconds` into the span (the last frame of the span may be
    // shorter).
    bool EncodeUntil(double seconds, std::string* error);
    // Encodes up to exactly `seconds` into the span, the last frame as short
    // as that needs: the sound of a video cut short ends with its picture.
    // Nothing may be encoded after it.
    bool EncodeTo(double seconds, std::string* error);
    // Encodes the rest of the span.
    bool EncodeAll(std::string* error);
    // Encodes what the encoder still holds; once.
    bool Flush(std::string* error);

private:
    explicit SoundEncoder(OutputFile& file) : file_(file) {}
    bool OpenEncoder(SoundCodec codec, int rate, std::string* error);
    bool EncodeToSample(int64_t target, bool wholeFrames, std::string* error);
    bool EncodeSamples(int count, std::string* error);
    bool ReadInto(AVFrame* frame, int count, std::string* error);

    OutputFile& file_;
    std::unique_ptr<SoundTrack> track_;
    AvPtr<AVCodecContext> encoder_;
    AVStream* stream_ = nullptr;
    int frameSize_ = 1024;
    int64_t samples_ = 0;  // per channel, given to the encoder
    bool flushed_ = false;
};
