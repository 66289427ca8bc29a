// Reads written videos back for the tests with FFmpeg's demuxers and decoders.
#include "tests/video/media_probe.h"

#include <algorithm>
#include <cmath>
#include <functional>
#include <numeric>

namespace {

// Reads the file's packets in order, handing each on with its stream, and
// decodes its first stream of `type` (when there is one), handing each frame
// on. False when the file cannot be opened or read to its end.
bool ReadMedia(const std::string& path, AVMediaType type,
               const std::function<void(const AVStream*, const AVPacket*)>& takePacket,
               const std::function<void(const AVFrame*)>& takeFrame)
{
    AVFormatContext* input = nullptr;
    int read = avformat_open_input(&input, path.c_str(), nullptr, nullptr);
    read = read < 0 ? read : avformat_find_stream_info(input, nullptr);
    const AVCodec* codec = nullptr;
    const int index = read < 0 ? -1 : av_find_best_stream(input, type, -1, -1, &codec, 0);
    AVCodecContext* decoder = avcodec_alloc_context3(codec);
    if (index >= 0 && (avcodec_parameters_to_context(decoder, input->streams[index]->codecpar) < 0 ||
                       avcodec_open2(decoder, codec, nullptr) < 0)) {
        read = AVERROR_DECODER_NOT_FOUND;
    }
    AVPacket* packet = av_packet_alloc();
    AVFrame* frame = av_frame_alloc();
    while (read >= 0) {
        read = av_read_frame(input, packet);
        if (read >= 0) {
            takePacket(input->streams[packet->stream_index], packet);
        }
        // After the last packet, a null one drains the decoder.
        if (index >= 0 && (read < 0 || packet->stream_index == index)) {
            avcodec_send_packet(decoder, read < 0 ? nullptr : packet);
            while (avcodec_receive_frame(decoder, frame) == 0) {
                takeFrame(frame);
            }
        }
        av_packet_unref(packet);
    }
    av_frame_free(&frame);
    av_packet_free(&packet);
    avcodec_free_context(&decoder);
    avformat_close_input(&input);
    return read == AVERROR_EOF;
}

void Ignore(const AVStream*, const AVPacket*) {}

}  // namespace

MediaFacts ProbeMedia(const std::string& path)
{
    MediaFacts facts;
    double first[2] = {HUGE_VAL, HUGE_VAL};
    double last[2] = {0, 0};
    const bool whole = ReadMedia(path, AVMEDIA_TYPE_UNKNOWN, [&](const AVStream* stream, const AVPacket* packet) {
        const AVCodecParameters* p = stream->codecpar;
        const int k = p->codec_type == AVMEDIA_TYPE_VIDEO ? 0 : 1;
        StreamFacts& kind = k == 0 ? facts.video : facts.sound;
        kind = {p->codec_id, p->width, p->height, p->color_space, stream->avg_frame_rate, kind.packets + 1, 0};
        first[k] = std::min(first[k], packet->pts * av_q2d(stream->time_base));
        last[k] = std::max(last[k], (packet->pts + packet->duration) * av_q2d(stream->time_base));
    }, nullptr);
    facts.error = whole ? "" : "cannot read " + path + " to its end";
    facts.video.seconds = facts.video.packets > 0 ? last[0] - first[0] : 0;
    facts.sound.seconds = facts.sound.packets > 0 ? last[1] - first[1] : 0;
    return facts;
}

// BT.709 limited-range yuv420p to RGB, written out here rather than taken from libswscale.
std::vector<std::vector<uint8_t>> DecodePictures(const std::string& path)
{
    std::vector<std::vector<uint8_t>> pictures;
    auto clamp = [](double value) { return static_cast<uint8_t>(std::clamp(std::lround(value), 0L, 255L)); };
    ReadMedia(path, AVMEDIA_TYPE_VIDEO, Ignore, [&](const AVFrame* frame) {
        // Another pixel format leaves the picture out, so that the count fails.
        if (frame->format != AV_PIX_FMT_YUV420P) {
            return;
        }
        std::vector<uint8_t>& rgb = pictures.emplace_back();
        for (int y = 0; y < frame->height; ++y) {
            for (int x = 0; x < frame->width; ++x) {
                double luma = 1.164383 * (frame->data[0][y * frame->linesize[0] + x] - 16);
                double u = frame->data[1][(y / 2) * frame->linesize[1] + x / 2] - 128;
                double v = frame->data[2][(y / 2) * frame->linesize[2] + x / 2] - 128;
                rgb.insert(rgb.end(), {clamp(luma + 1.792741 * v), clamp(luma - 0.213249 * u - 0.532909 * v),
                                       clamp(luma + 2.112402 * u)});
            }
        }
    });
    return pictures;
}

Sound DecodeSound(const std::string& path)
{
    Sound sound;
    ReadMedia(path, AVMEDIA_TYPE_AUDIO, Ignore, [&](const AVFrame* frame) {
        // The AAC decoder gives planar float.
        const auto* left = reinterpret_cast<const float*>(frame->extended_data[0]);
        sound.left.insert(sound.left.end(), left, left + frame->nb_samples);
        sound.rate = frame->sample_rate;
    });
    return sound;
}

double Loudness(const Sound& sound, double from, double to)
{
    const auto first = sound.left.begin() + std::min(sound.left.size(), static_cast<size_t>(from * sound.rate));
    const auto last = sound.left.begin() + std::min(sound.left.size(), static_cast<size_t>(to * sound.rate));
    return last > first ? std::sqrt(std::inner_product(first, last, first, 0.0) / (last - first)) : 0;
}
