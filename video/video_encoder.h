#pragma once
// The picture of a video: RGBA frames converted with libswscale to the
// codec's pixel format (4:2:0 BT.709 limited range for the delivery codecs,
// 4:2:2 10 bits for ProRes, 8-bit RGB for the lossless FFV1) and encoded,
// frame n at n/fps seconds.

#include <cstdint>
#include <memory>
#include <string>

#include "core/frame_rate.h"
#include "media/av_util.h"
#include "video/output_file.h"
#include "video/video_format.h"

struct PictureSettings {
    VideoCodec codec = VideoCodec::kH264;
    int width = 0;
    int height = 0;
    FrameRate fps = 60;
    int crf = -1;         // constant quality; -1: the codec's own default
    int64_t bitRate = 0;  // bits a second instead of a constant quality; 0: none
};

class VideoEncoder {
public:
    // Null, with the reason, when no encoder of the codec opens for these settings.
    static std::unique_ptr<VideoEncoder> Open(OutputFile& file, const PictureSettings& settings,
                                              std::string* error);

    // Converts and encodes the next frame (width x height RGBA, top row first).
    bool Encode(const uint8_t* rgba, std::string* error);
    // Encodes what the encoder still holds; once.
    bool Flush(std::string* error);
    // Frames given to Encode.
    int64_t Frames() const { return frames_; }

private:
    explicit VideoEncoder(OutputFile& file) : file_(file) {}
    bool OpenEncoder(const PictureSettings& settings, std::string* error);
    bool StartConverting(std::string* error);

    OutputFile& file_;
    AvPtr<AVCodecContext> encoder_;
    AVStream* stream_ = nullptr;
    AvPtr<SwsContext> converter_;
    AvPtr<AVFrame> picture_;
    int64_t frames_ = 0;
    bool flushed_ = false;
};
