// Writes short Ogg Vorbis files for the video tests with libavformat and
// libavcodec's Vorbis encoder.
#include "tests/video/test_music.h"

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
#include <libavutil/channel_layout.h>
}

#include <cmath>
#include <numbers>
#include <memory>

namespace {

struct Writer {
    AVFormatContext* muxer = nullptr;
    AVCodecContext* encoder = nullptr;
    AVStream* stream = nullptr;
    AVPacket* packet = av_packet_alloc();
    AVFrame* frame = av_frame_alloc();

    ~Writer()
    {
        av_frame_free(&frame);
        av_packet_free(&packet);
        avcodec_free_context(&encoder);
        if (muxer && muxer->pb) {
            avio_closep(&muxer->pb);
        }
        avformat_free_context(muxer);
    }
};

std::string OpenEncoder(Writer& w, int sampleRate)
{
    const AVCodec* codec = avcodec_find_encoder_by_name("libvorbis");
    if (!codec) {
        codec = avcodec_find_encoder(AV_CODEC_ID_VORBIS);
    }
    if (!codec) {
        return "no Vorbis encoder";
    }
    w.encoder = avcodec_alloc_context3(codec);
    w.encoder->sample_fmt = AV_SAMPLE_FMT_FLTP;
    w.encoder->sample_rate = sampleRate;
    av_channel_layout_default(&w.encoder->ch_layout, 2);
    w.encoder->bit_rate = 128000;
    w.encoder->time_base = AVRational{1, sampleRate};
    w.encoder->strict_std_compliance = FF_COMPLIANCE_EXPERIMENTAL;
    w.encoder->flags |= AV_CODEC_FLAG_GLOBAL_HEADER;
    if (avcodec_open2(w.encoder, codec, nullptr) < 0) {
        return "cannot open the Vorbis encoder";
    }
    w.stream = avformat_new_stream(w.muxer, nullptr);
    avcodec_parameters_from_context(w.stream->codecpar, w.encoder);
    w.stream->time_base = w.encoder->time_base;
    return "";
}

std::string Drain(Writer& w, const AVFrame* frame)
{
    if (avcodec_send_frame(w.encoder, frame) < 0) {
        return "cannot encode Vorbis";
    }
    while (avcodec_receive_packet(w.encoder, w.packet) == 0) {
        av_packet_rescale_ts(w.packet, w.encoder->time_base, w.stream->time_base);
        w.packet->stream_index = 0;
        if (av_interleaved_write_frame(w.muxer, w.packet) < 0) {
            return "cannot write the Ogg file";
        }
    }
    return "";
}

std::string EncodeSound(Writer& w, double seconds, const std::function<float(double)>& soundAt)
{
    const int rate = w.encoder->sample_rate;
    const int64_t total = std::llround(seconds * rate);
    const int frameSize = w.encoder->frame_size > 0 ? w.encoder->frame_size : 1024;
    for (int64_t done = 0; done < total;) {
        av_frame_unref(w.frame);
        w.frame->format = AV_SAMPLE_FMT_FLTP;
        w.frame->sample_rate = rate;
        w.frame->nb_samples = static_cast<int>(std::min<int64_t>(frameSize, total - done));
        av_channel_layout_default(&w.frame->ch_layout, 2);
        av_frame_get_buffer(w.frame, 0);
        for (int i = 0; i < w.frame->nb_samples; ++i) {
            float value = soundAt(static_cast<double>(done + i) / rate);
            reinterpret_cast<float*>(w.frame->data[0])[i] = value;
            reinterpret_cast<float*>(w.frame->data[1])[i] = value;
        }
        w.frame->pts = done;
        done += w.frame->nb_samples;
        if (std::string error = Drain(w, w.frame); !error.empty()) {
            return error;
        }
    }
    return Drain(w, nullptr);
}

}  // namespace

std::string WriteTestMusic(const std::string& path, double seconds, int sampleRate,
                           const std::function<float(double)>& soundAt)
{
    Writer w;
    if (avformat_alloc_output_context2(&w.muxer, nullptr, "ogg", path.c_str()) < 0) {
        return "no Ogg muxer";
    }
    if (std::string error = OpenEncoder(w, sampleRate); !error.empty()) {
        return error;
    }
    if (avio_open(&w.muxer->pb, path.c_str(), AVIO_FLAG_WRITE) < 0 ||
        avformat_write_header(w.muxer, nullptr) < 0) {
        return "cannot create " + path;
    }
    if (std::string error = EncodeSound(w, seconds, soundAt); !error.empty()) {
        return error;
    }
    return av_write_trailer(w.muxer) < 0 ? "cannot finish " + path : "";
}

float Tone(double seconds)
{
    return 0.5f * static_cast<float>(std::sin(2 * std::numbers::pi * 440 * seconds));
}
