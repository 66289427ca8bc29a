#pragma once
// Small helpers around FFmpeg's C API: owning pointers for its objects and its
// error codes as text.

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavutil/audio_fifo.h>
#include <libswresample/swresample.h>
#include <libswscale/swscale.h>
}

#include <memory>
#include <string>

#include "core/failure.h"

struct AvDeleter {
    void operator()(AVCodecContext* context) const { avcodec_free_context(&context); }
    void operator()(AVFrame* frame) const { av_frame_free(&frame); }
    void operator()(AVPacket* packet) const { av_packet_free(&packet); }
    void operator()(SwsContext* context) const { sws_freeContext(context); }
    void operator()(SwrContext* context) const { swr_free(&context); }
    void operator()(AVAudioFifo* fifo) const { av_audio_fifo_free(fifo); }
};

template <typename T>
using AvPtr = std::unique_ptr<T, AvDeleter>;

// FFmpeg's libraries print their own lines on standard error (guesses about
// a file's format, encoder statistics): every failure comes back to us as an
// error code and is said in our words, so theirs are dropped. Called before
// the libraries are used.
void QuietLibraryLog();

// FFmpeg's description of an error code.
std::string AvErrorText(int code);

// Sets *error to "what: <FFmpeg's description of code>" and returns false.
bool AvFail(std::string* error, const std::string& what, int code);
