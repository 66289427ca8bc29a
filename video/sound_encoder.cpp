// Encodes the sound track as AAC in step with the picture.
#include "video/sound_encoder.h"

extern "C" {
#include <libavutil/channel_layout.h>
}

#include <algorithm>
#include <cmath>

namespace {

constexpr int64_t kBitRate = 192000;

const AVCodec* FindAacEncoder()
{
    const AVCodec* codec = avcodec_find_encoder_by_name("aac");
    return codec ? codec : avcodec_find_encoder(AV_CODEC_ID_AAC);
}

bool TakesPlanarFloat(const AVCodec* codec)
{
    if (!codec->sample_fmts) {
        return true;
    }
    for (const AVSampleFormat* format = codec->sample_fmts; *format != AV_SAMPLE_FMT_NONE; ++format) {
        if (*format == AV_SAMPLE_FMT_FLTP) {
            return true;
        }
    }
    return false;
}

}  // namespace

std::unique_ptr<SoundEncoder> SoundEncoder::Open(OutputFile& file, std::unique_ptr<SoundTrack> track,
                                                 std::string* error)
{
    std::unique_ptr<SoundEncoder> sound(new SoundEncoder(file));
    sound->track_ = std::move(track);
    if (!sound->OpenEncoder(sound->track_->SampleRate(), error)) {
        return nullptr;
    }
    sound->stream_ = file.AddStream(sound->encoder_.get(), error);
    return sound->stream_ ? std::move(sound) : nullptr;
}

bool SoundEncoder::OpenEncoder(int rate, std::string* error)
{
    const AVCodec* codec = FindAacEncoder();
    if (!codec) {
        return Fail(error, "this FFmpeg has no AAC encoder");
    }
    if (!TakesPlanarFloat(codec)) {
        return Fail(error, std::string("the AAC encoder ") + codec->name + " does not take planar float samples");
    }
    encoder_.reset(avcodec_alloc_context3(codec));
    if (!encoder_) {
        return Fail(error, "not enough memory for the AAC encoder");
    }
    encoder_->sample_fmt = AV_SAMPLE_FMT_FLTP;
    encoder_->sample_rate = rate;
    av_channel_layout_default(&encoder_->ch_layout, 2);
    encoder_->bit_rate = kBitRate;
    encoder_->time_base = AVRational{1, rate};
    if (file_.WantsGlobalHeader()) {
        encoder_->flags |= AV_CODEC_FLAG_GLOBAL_HEADER;
    }
    int opened = avcodec_open2(encoder_.get(), codec, nullptr);
    if (opened < 0) {
        return AvFail(error, std::string("cannot open the AAC encoder ") + codec->name, opened);
    }
    if (encoder_->frame_size > 0) {
        frameSize_ = encoder_->frame_size;
    }
    return true;
}

bool SoundEncoder::EncodeUntil(double seconds, std::string* error)
{
    return EncodeToSample(static_cast<int64_t>(std::floor(seconds * encoder_->sample_rate)), true, error);
}

bool SoundEncoder::EncodeTo(double seconds, std::string* error)
{
    return EncodeToSample(static_cast<int64_t>(std::llround(seconds * encoder_->sample_rate)), false, error);
}

bool SoundEncoder::EncodeAll(std::string* error)
{
    return EncodeToSample(track_->TotalSamples(), false, error);
}

// Encodes frames up to the target sample: whole frames only, or the last one
// cut at the target. The end of the span may cut a frame either way.
bool SoundEncoder::EncodeToSample(int64_t target, bool wholeFrames, std::string* error)
{
    target = std::min(target, track_->TotalSamples());
    while (samples_ < target) {
        const int64_t left = target - samples_;
        if (wholeFrames && left < frameSize_ && target < track_->TotalSamples()) {
            return true;  // the next frame would run past the target
        }
        int count = static_cast<int>(std::min<int64_t>({frameSize_, left, track_->RemainingSamples()}));
        if (!EncodeSamples(count, error)) {
            return false;
        }
    }
    return true;
}

bool SoundEncoder::EncodeSamples(int count, std::string* error)
{
    AvPtr<AVFrame> frame(av_frame_alloc());
    if (!frame) {
        return Fail(error, "not enough memory for the sound");
    }
    frame->format = AV_SAMPLE_FMT_FLTP;
    frame->sample_rate = encoder_->sample_rate;
    frame->nb_samples = count;
    int copied = av_channel_layout_copy(&frame->ch_layout, &encoder_->ch_layout);
    int allocated = copied < 0 ? copied : av_frame_get_buffer(frame.get(), 0);
    if (allocated < 0) {
        return AvFail(error, "cannot hold the sound", allocated);
    }
    auto* left = reinterpret_cast<float*>(frame->data[0]);
    auto* right = reinterpret_cast<float*>(frame->data[1]);
    if (!track_->Read(left, right, count, error)) {
        return false;
    }
    frame->pts = samples_;
    samples_ += count;
    return file_.Encode(encoder_.get(), stream_, frame.get(), error);
}

bool SoundEncoder::Flush(std::string* error)
{
    if (flushed_) {
        return true;
    }
    flushed_ = true;
    return file_.Encode(encoder_.get(), stream_, nullptr, error);
}
