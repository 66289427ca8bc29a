#pragma once
// The container of a video file (mp4, matroska, mov, webm): its streams, the header, the encoders' packets interleaved by time,
// and the trailer.

extern "C" {
#include <libavformat/avformat.h>
}

#include <memory>
#include <string>

#include "media/av_util.h"

class OutputFile {
public:
    // Null, with the reason, when this FFmpeg cannot write the container
    // `muxer`. The bytes go to `writePath` (the temporary file of `path`);
    // reasons name `path`. Nothing is written before Open.
    static std::unique_ptr<OutputFile> Create(const std::string& path, const std::string& writePath,
                                              const char* muxer, std::string* error);
    ~OutputFile();

    // Whether encoders must put their set-up data in the stream header.
    bool WantsGlobalHeader() const;
    // A new stream for an opened encoder, with its parameters and time base.
    AVStream* AddStream(const AVCodecContext* encoder, std::string* error);

    // Creates the file and writes its header; after the streams are added.
    bool Open(std::string* error);
    // Sends a frame (null: the end) to the encoder and writes every packet it gives.
    bool Encode(AVCodecContext* encoder, AVStream* stream, const AVFrame* frame, std::string* error);
    // Writes the trailer and closes the file.
    bool Close(std::string* error);

private:
    OutputFile() = default;
    bool WritePacket(const AVCodecContext* encoder, AVStream* stream, std::string* error);

    std::string path_;
    std::string writePath_;
    AVFormatContext* muxer_ = nullptr;
    AvPtr<AVPacket> packet_;
    bool headerWritten_ = false;
};
