// Reads written videos back for the tests with FFmpeg's demuxers and decoders.
#include "tests/video/media_probe.h"

#include <algorithm>
#include <cmath>
#include <functional>
#include <limits>
#include <tuple>

namespace {

// An opened file, closed at the end of the scope.
struct Input {
    AVFormatContext* context = nullptr;
    explicit Input(const std::string& path)
    {
        if (avformat_open_input(&context, path.c_str(), nullptr, nullptr) < 0) {
            context = nullptr;
        } else if (avformat_find_stream_info(context, nullptr) < 0) {
            avformat_close_input(&context);
        }
    }
    ~Input() { avformat_close_input(&context); }
};

void DescribeStream(const AVStream* stream, StreamFacts* facts)
{
    const AVCodecParameters* p = stream->codecpar;
    facts->present = true;
    facts->codec = p->codec_id;
    facts->width = p->width;
    facts->height = p->height;
    facts->pixelFormat = p->format;
    facts->colourSpace = p->color_space;
    facts->frameRate = stream->avg_frame_rate;
    facts->sampleRate = p->sample_rate;
    facts->channels = p->ch_layout.nb_channels;
}

// Each packet's time span widens its stream's; the lead is measured against the other stream.
void CountPacket(const AVPacket* packet, const AVStream* stream, StreamFacts* facts, double* first, double* last)
{
    int64_t start = packet->pts != AV_NOPTS_VALUE ? packet->pts : packet->dts;
    double tb = av_q2d(stream->time_base);
    *first = std::min(*first, start * tb);
    *last = std::max(*last, (start + packet->duration) * tb);
    ++facts->packets;
}

// Decodes every packet of the file's first stream of `type`, handing each frame on.
bool DecodeStream(const std::string& path, AVMediaType type, const std::function<void(const AVFrame*)>& take)
{
    Input input(path);
    if (!input.context) {
        return false;
    }
    const AVCodec* codec = nullptr;
    int index = av_find_best_stream(input.context, type, -1, -1, &codec, 0);
    if (index < 0) {
        return false;
    }
    AVCodecContext* decoder = avcodec_alloc_context3(codec);
    avcodec_parameters_to_context(decoder, input.context->streams[index]->codecpar);
    bool ok = avcodec_open2(decoder, codec, nullptr) >= 0;
    AVPacket* packet = av_packet_alloc();
    AVFrame* frame = av_frame_alloc();
    auto receive = [&] {
        while (avcodec_receive_frame(decoder, frame) == 0) {
            take(frame);
            av_frame_unref(frame);
        }
    };
    while (ok && av_read_frame(input.context, packet) >= 0) {
        if (packet->stream_index == index) {
            ok = avcodec_send_packet(decoder, packet) >= 0;
            receive();
        }
        av_packet_unref(packet);
    }
    if (ok) {
        avcodec_send_packet(decoder, nullptr);
        receive();
    }
    av_frame_free(&frame);
    av_packet_free(&packet);
    avcodec_free_context(&decoder);
    return ok;
}

uint8_t Clamp(double value)
{
    return static_cast<uint8_t>(std::clamp(std::lround(value), 0L, 255L));
}

// BT.709 limited-range yuv420p to RGB, written out here rather than taken from libswscale.
Picture ToRgb(const AVFrame* frame)
{
    Picture picture;
    picture.width = frame->width;
    picture.height = frame->height;
    for (int y = 0; y < frame->height; ++y) {
        for (int x = 0; x < frame->width; ++x) {
            double luma = 1.164383 * (frame->data[0][y * frame->linesize[0] + x] - 16);
            double u = frame->data[1][(y / 2) * frame->linesize[1] + x / 2] - 128;
            double v = frame->data[2][(y / 2) * frame->linesize[2] + x / 2] - 128;
            picture.rgb.push_back(Clamp(luma + 1.792741 * v));
            picture.rgb.push_back(Clamp(luma - 0.213249 * u - 0.532909 * v));
            picture.rgb.push_back(Clamp(luma + 2.112402 * u));
        }
    }
    return picture;
}

}  // namespace

MediaFacts ProbeMedia(const std::string& path)
{
    MediaFacts facts;
    Input input(path);
    if (!input.context) {
        facts.error = "cannot open " + path;
        return facts;
    }
    constexpr double kNone = std::numeric_limits<double>::infinity();
    double first[2] = {kNone, kNone};
    double last[2] = {-kNone, -kNone};
    double latest[2] = {kNone, kNone};  // dts of each kind's last packet
    for (unsigned i = 0; i < input.context->nb_streams; ++i) {
        const AVStream* stream = input.context->streams[i];
        StreamFacts* kind = stream->codecpar->codec_type == AVMEDIA_TYPE_VIDEO ? &facts.video
                            : stream->codecpar->codec_type == AVMEDIA_TYPE_AUDIO ? &facts.sound
                                                                                  : nullptr;
        if (kind) {
            DescribeStream(stream, kind);
        }
    }
    // Each packet's place in the file and its decode time, in the order the file holds them.
    std::vector<std::tuple<int64_t, int, double>> layout;
    AVPacket* packet = av_packet_alloc();
    int read = 0;
    while ((read = av_read_frame(input.context, packet)) >= 0) {
        const AVStream* stream = input.context->streams[packet->stream_index];
        int k = stream->codecpar->codec_type == AVMEDIA_TYPE_VIDEO ? 0 : 1;
        CountPacket(packet, stream, k == 0 ? &facts.video : &facts.sound, &first[k], &last[k]);
        int64_t decodeTime = packet->dts != AV_NOPTS_VALUE ? packet->dts : packet->pts;
        layout.emplace_back(packet->pos, k, decodeTime * av_q2d(stream->time_base));
        av_packet_unref(packet);
    }
    av_packet_free(&packet);
    if (read != AVERROR_EOF) {
        facts.error = "cannot read " + path + " to its end";
    }
    std::sort(layout.begin(), layout.end());
    for (const auto& [position, k, time] : layout) {
        latest[k] = time;
        if (latest[1 - k] != kNone) {
            facts.largestLead = std::max(facts.largestLead, std::abs(latest[k] - latest[1 - k]));
        }
    }
    facts.video.seconds = facts.video.packets > 0 ? last[0] - first[0] : 0;
    facts.sound.seconds = facts.sound.packets > 0 ? last[1] - first[1] : 0;
    return facts;
}

std::vector<Picture> DecodePictures(const std::string& path)
{
    std::vector<Picture> pictures;
    bool formatOk = true;
    bool decoded = DecodeStream(path, AVMEDIA_TYPE_VIDEO, [&](const AVFrame* frame) {
        formatOk = formatOk && frame->format == AV_PIX_FMT_YUV420P;
        if (formatOk) {
            pictures.push_back(ToRgb(frame));
        }
    });
    return decoded && formatOk ? pictures : std::vector<Picture>{};
}

Sound DecodeSound(const std::string& path)
{
    Sound sound;
    bool formatOk = true;
    bool decoded = DecodeStream(path, AVMEDIA_TYPE_AUDIO, [&](const AVFrame* frame) {
        formatOk = formatOk && frame->format == AV_SAMPLE_FMT_FLTP;
        if (formatOk) {
            const auto* left = reinterpret_cast<const float*>(frame->extended_data[0]);
            sound.left.insert(sound.left.end(), left, left + frame->nb_samples);
            sound.rate = frame->sample_rate;
        }
    });
    return decoded && formatOk ? sound : Sound{};
}

double Loudness(const Sound& sound, double from, double to)
{
    size_t begin = std::min(sound.left.size(), static_cast<size_t>(from * sound.rate));
    size_t end = std::min(sound.left.size(), static_cast<size_t>(to * sound.rate));
    double sum = 0;
    for (size_t i = begin; i < end; ++i) {
        sum += static_cast<double>(sound.left[i]) * sound.left[i];
    }
    return end > begin ? std::sqrt(sum / static_cast<double>(end - begin)) : 0;
}
