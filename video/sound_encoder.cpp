// Encodes the sound track in the container's sound codec, in step with the picture.
#include "video/sound_encoder.h"

extern "C" {
#include <libavutil/channel_layout.h>
}

#include <algorithm>
#include <cmath>
#include <vector>

namespace {

struct SoundSetup {
    SoundCodec codec;
    const char* encoderName;
    AVCodecID id;
    const char* title;
    AVSampleFormat samples;
    int64_t bitRate;  // 0: lossless, none to set
    int rate;         // 0: the music's own
};

const SoundSetup& SetupFor(SoundCodec codec)
{
    static const std::vector<SoundSetup> setups = {
        {SoundCodec::kAac, "aac", AV_CODEC_ID_AAC, "AAC", AV_SAMPLE_FMT_FLTP, 192000, 0},
        {SoundCodec::kFlac, "flac", AV_CODEC_ID_FLAC, "FLAC", AV_SAMPLE_FMT_S16, 0, 0},
        {SoundCodec::kPcm, "pcm_s16le", AV_CODEC_ID_PCM_S16LE, "PCM", AV_SAMPLE_FMT_S16, 0, 0},
        {SoundCodec::kOpus, "libopus", AV_CODEC_ID_OPUS, "Opus", AV_SAMPLE_FMT_FLT, 160000, 48000},
    };
    for (const SoundSetup& setup : setups) {
        if (setup.codec == codec) {
            return setup;
        }
    }
    return setups.front();
}

bool Takes(const AVCodec* codec, AVSampleFormat wanted)
{
    if (!codec->sample_fmts) {
        return true;
    }
    for (const AVSampleFormat* format = codec->sample_fmts; *format != AV_SAMPLE_FMT_NONE; ++format) {
        if (*format == wanted) {
            return true;
        }
    }
    return false;
}

int16_t ToShort(float sample)
{
    return static_cast<int16_t>(std::clamp<long>(std::lrintf(sample * 32768.0f), -32768, 32767));
}

// Planar float stereo into the frame's interleaved samples.
void Interleave(const float* left, const float* right, int count, AVFrame* frame)
{
    if (frame->format == AV_SAMPLE_FMT_S16) {
        auto* out = reinterpret_cast<int16_t*>(frame->data[0]);
        for (int i = 0; i < count; ++i) {
            out[2 * i] = ToShort(left[i]);
            out[2 * i + 1] = ToShort(right[i]);
        }
        return;
    }
    auto* out = reinterpret_cast<float*>(frame->data[0]);
    for (int i = 0; i < count; ++i) {
        out[2 * i] = left[i];
        out[2 * i + 1] = right[i];
    }
}

}  // namespace

int SoundEncoder::RateFor(SoundCodec codec)
{
    return SetupFor(codec).rate;
}

std::unique_ptr<SoundEncoder> SoundEncoder::Open(OutputFile& file, SoundCodec codec,
                                                 std::unique_ptr<SoundTrack> track, std::string* error)
{
    std::unique_ptr<SoundEncoder> sound(new SoundEncoder(file));
    sound->track_ = std::move(track);
    if (!sound->OpenEncoder(codec, sound->track_->SampleRate(), error)) {
        return nullptr;
    }
    sound->stream_ = file.AddStream(sound->encoder_.get(), error);
    return sound->stream_ ? std::move(sound) : nullptr;
}

bool SoundEncoder::OpenEncoder(SoundCodec codecChoice, int rate, std::string* error)
{
    const SoundSetup& setup = SetupFor(codecChoice);
    const std::string title = setup.title;
    const AVCodec* codec = avcodec_find_encoder_by_name(setup.encoderName);
    codec = codec ? codec : avcodec_find_encoder(setup.id);
    if (!codec) {
        return Fail(error, "this FFmpeg has no " + title + " encoder");
    }
    if (!Takes(codec, setup.samples)) {
        return Fail(error, "the " + title + " encoder " + codec->name + " does not take " +
                               av_get_sample_fmt_name(setup.samples) + " samples");
    }
    encoder_.reset(avcodec_alloc_context3(codec));
    if (!encoder_) {
        return Fail(error, "not enough memory for the " + title + " encoder");
    }
    encoder_->sample_fmt = setup.samples;
    encoder_->sample_rate = rate;
    av_channel_layout_default(&encoder_->ch_layout, 2);
    encoder_->bit_rate = setup.bitRate;
    encoder_->time_base = AVRational{1, rate};
    if (file_.WantsGlobalHeader()) {
        encoder_->flags |= AV_CODEC_FLAG_GLOBAL_HEADER;
    }
    int opened = avcodec_open2(encoder_.get(), codec, nullptr);
    if (opened < 0) {
        return AvFail(error, "cannot open the " + title + " encoder " + codec->name, opened);
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
    frame->format = encoder_->sample_fmt;
    frame->sample_rate = encoder_->sample_rate;
    frame->nb_samples = count;
    int copied = av_channel_layout_copy(&frame->ch_layout, &encoder_->ch_layout);
    int allocated = copied < 0 ? copied : av_frame_get_buffer(frame.get(), 0);
    if (allocated < 0) {
        return AvFail(error, "cannot hold the sound", allocated);
    }
    if (!ReadInto(frame.get(), count, error)) {
        return false;
    }
    frame->pts = samples_;
    samples_ += count;
    return file_.Encode(encoder_.get(), stream_, frame.get(), error);
}

// The track's next samples in the frame's sample format.
bool SoundEncoder::ReadInto(AVFrame* frame, int count, std::string* error)
{
    if (frame->format == AV_SAMPLE_FMT_FLTP) {
        return track_->Read(reinterpret_cast<float*>(frame->data[0]), reinterpret_cast<float*>(frame->data[1]),
                            count, error);
    }
    std::vector<float> left(static_cast<size_t>(count));
    std::vector<float> right(static_cast<size_t>(count));
    if (!track_->Read(left.data(), right.data(), count, error)) {
        return false;
    }
    Interleave(left.data(), right.data(), count, frame);
    return true;
}

bool SoundEncoder::Flush(std::string* error)
{
    if (flushed_) {
        return true;
    }
    flushed_ = true;
    return file_.Encode(encoder_.get(), stream_, nullptr, error);
}
