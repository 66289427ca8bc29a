#pragma once
// The picture of a video: RGBA frames converted to yuv420p (BT.709, limited
// range) with libswscale and encoded as H.264, one frame per 1/fps second.

#include <cstdint>
#include <memory>
#include <string>

#include "media/av_util.h"
#include "video/output_file.h"

class VideoEncoder {
public:
    // Null, with the reason, when no H.264 encoder opens for these settings.
    static std::unique_ptr<VideoEncoder> Open(OutputFile& file, int width, int height, int fps,
                                              std::string* error);

    // Converts and encodes the next frame (width x height RGBA, top row first).
    bool Encode(const uint8_t* rgba, std::string* error);
    // Encodes what the encoder still holds; once.
    bool Flush(std::string* error);
    // Frames given to Encode.
    int64_t Frames() const { return frames_; }

private:
    explicit VideoEncoder(OutputFile& file) : file_(file) {}
    bool OpenEncoder(int width, int height, int fps, std::string* error);
    bool StartConverting(std::string* error);

    OutputFile& file_;
    AvPtr<AVCodecContext> encoder_;
    AVStream* stream_ = nullptr;
    AvPtr<SwsContext> converter_;
    AvPtr<AVFrame> picture_;
    int64_t frames_ = 0;
    bool flushed_ = false;
};
