// Converts RGBA frames to the codec's pixel format and encodes them.
#include "video/video_encoder.h"

extern "C" {
#include <libavutil/opt.h>
#include <libavutil/pixdesc.h>
}

#include <vector>

namespace {

// How each codec is encoded: the encoder (by name, else any for the codec),
// its pixel format, profile, default quality and options.
constexpr int kOwnProfile = -99;

struct CodecSetup {
    VideoCodec codec;
    const char* encoderName;
    AVCodecID id;
    AVPixelFormat pixels;
    int profile;            // kOwnProfile: what the encoder or its options choose
    const char* crfOption;  // null: no quality setting
    int defaultCrf;
    std::vector<std::pair<const char*, const char*>> options;
};

const CodecSetup& SetupFor(VideoCodec codec)
{
    static const std::vector<CodecSetup> setups = {
        {VideoCodec::kH264, "libx264", AV_CODEC_ID_H264, AV_PIX_FMT_YUV420P, FF_PROFILE_H264_HIGH, "crf", 20,
         {{"preset", "veryfast"}}},
        {VideoCodec::kH265, "libx265", AV_CODEC_ID_HEVC, AV_PIX_FMT_YUV420P, FF_PROFILE_HEVC_MAIN, "crf", 24,
         {{"preset", "veryfast"}, {"x265-params", "log-level=error"}}},
        // Lossless, every frame a key frame, each slice checked on reading.
        {VideoCodec::kFfv1, "ffv1", AV_CODEC_ID_FFV1, AV_PIX_FMT_BGR0, kOwnProfile, nullptr, 0,
         {{"level", "3"}, {"slicecrc", "1"}, {"g", "1"}}},
        {VideoCodec::kProRes, "prores_ks", AV_CODEC_ID_PRORES, AV_PIX_FMT_YUV422P10LE, kOwnProfile, nullptr, 0,
         {{"profile", "hq"}}},
        {VideoCodec::kVp9, "libvpx-vp9", AV_CODEC_ID_VP9, AV_PIX_FMT_YUV420P, FF_PROFILE_VP9_0, "crf", 32,
         {{"deadline", "good"}, {"cpu-used", "5"}, {"row-mt", "1"}}},
        {VideoCodec::kAv1, "libsvtav1", AV_CODEC_ID_AV1, AV_PIX_FMT_YUV420P, FF_PROFILE_AV1_MAIN, "crf", 35,
         {{"preset", "10"}}},
    };
    for (const CodecSetup& setup : setups) {
        if (setup.codec == codec) {
            return setup;
        }
    }
    return setups.front();
}

const AVCodec* FindEncoder(const CodecSetup& setup)
{
    const AVCodec* codec = avcodec_find_encoder_by_name(setup.encoderName);
    return codec ? codec : avcodec_find_encoder(setup.id);
}

bool IsRgb(AVPixelFormat pixels)
{
    return pixels == AV_PIX_FMT_BGR0;
}

void DescribeColours(AVCodecContext* encoder)
{
    if (IsRgb(encoder->pix_fmt)) {
        encoder->color_range = AVCOL_RANGE_JPEG;
        encoder->colorspace = AVCOL_SPC_RGB;
    } else {
        encoder->color_range = AVCOL_RANGE_MPEG;
        encoder->colorspace = AVCOL_SPC_BT709;
    }
    encoder->color_primaries = AVCOL_PRI_BT709;
    encoder->color_trc = AVCOL_TRC_BT709;
}

AVDictionary* EncoderOptions(const CodecSetup& setup, const PictureSettings& settings)
{
    AVDictionary* options = nullptr;
    for (const auto& [name, value] : setup.options) {
        av_dict_set(&options, name, value, 0);
    }
    if (setup.crfOption && settings.bitRate == 0) {
        const int crf = settings.crf >= 0 ? settings.crf : setup.defaultCrf;
        av_dict_set(&options, setup.crfOption, std::to_string(crf).c_str(), 0);
    }
    return options;
}

}  // namespace

std::unique_ptr<VideoEncoder> VideoEncoder::Open(OutputFile& file, const PictureSettings& settings,
                                                 std::string* error)
{
    std::unique_ptr<VideoEncoder> video(new VideoEncoder(file));
    if (!video->OpenEncoder(settings, error) || !video->StartConverting(error)) {
        return nullptr;
    }
    video->stream_ = file.AddStream(video->encoder_.get(), error);
    if (!video->stream_) {
        return nullptr;
    }
    // The frame rate as the container records it, for players and probes.
    const AVRational rate{static_cast<int>(settings.fps.frames), static_cast<int>(settings.fps.seconds)};
    video->stream_->avg_frame_rate = rate;
    video->stream_->r_frame_rate = rate;
    return video;
}

bool VideoEncoder::OpenEncoder(const PictureSettings& settings, std::string* error)
{
    const CodecSetup& setup = SetupFor(settings.codec);
    const std::string title = CodecTitle(settings.codec);
    const AVCodec* codec = FindEncoder(setup);
    if (!codec) {
        return Fail(error, "this FFmpeg has no " + title + " encoder");
    }
    encoder_.reset(avcodec_alloc_context3(codec));
    if (!encoder_) {
        return Fail(error, "not enough memory for the " + title + " encoder");
    }
    encoder_->width = settings.width;
    encoder_->height = settings.height;
    encoder_->pix_fmt = setup.pixels;
    encoder_->time_base = AVRational{static_cast<int>(settings.fps.seconds), static_cast<int>(settings.fps.frames)};
    encoder_->framerate = AVRational{static_cast<int>(settings.fps.frames), static_cast<int>(settings.fps.seconds)};
    encoder_->thread_count = 0;  // as many as the machine has
    if (setup.profile != kOwnProfile) {
        encoder_->profile = setup.profile;
    }
    if (settings.bitRate > 0) {
        encoder_->bit_rate = settings.bitRate;
    }
    DescribeColours(encoder_.get());
    if (file_.WantsGlobalHeader()) {
        encoder_->flags |= AV_CODEC_FLAG_GLOBAL_HEADER;
    }
    AVDictionary* options = EncoderOptions(setup, settings);
    int opened = avcodec_open2(encoder_.get(), codec, &options);
    av_dict_free(&options);
    if (opened < 0) {
        return AvFail(error, "cannot open the " + title + " encoder " + codec->name, opened);
    }
    return true;
}

bool VideoEncoder::StartConverting(std::string* error)
{
    const int width = encoder_->width;
    const int height = encoder_->height;
    const AVPixelFormat pixels = encoder_->pix_fmt;
    const std::string name = av_get_pix_fmt_name(pixels);
    converter_.reset(sws_getContext(width, height, AV_PIX_FMT_RGBA, width, height, pixels,
                                    SWS_BICUBIC | SWS_ACCURATE_RND | SWS_FULL_CHR_H_INP, nullptr, nullptr,
                                    nullptr));
    picture_.reset(av_frame_alloc());
    if (!converter_ || !picture_) {
        return Fail(error, "cannot convert RGBA frames to " + name);
    }
    if (!IsRgb(pixels)) {
        // Full-range RGB in, BT.709 limited-range YUV out, as the stream says.
        const int* bt709 = sws_getCoefficients(SWS_CS_ITU709);
        sws_setColorspaceDetails(converter_.get(), bt709, 1, bt709, 0, 0, 1 << 16, 1 << 16);
    }
    picture_->format = pixels;
    picture_->width = width;
    picture_->height = height;
    int allocated = av_frame_get_buffer(picture_.get(), 0);
    if (allocated < 0) {
        return AvFail(error, "cannot hold a " + name + " frame", allocated);
    }
    return true;
}

bool VideoEncoder::Encode(const uint8_t* rgba, std::string* error)
{
    // The encoder may still hold the last picture.
    int writable = av_frame_make_writable(picture_.get());
    if (writable < 0) {
        return AvFail(error, "cannot hold a frame to encode", writable);
    }
    const uint8_t* planes[1] = {rgba};
    const int strides[1] = {encoder_->width * 4};
    if (sws_scale(converter_.get(), planes, strides, 0, encoder_->height, picture_->data, picture_->linesize) <= 0) {
        return Fail(error, std::string("cannot convert a frame to ") + av_get_pix_fmt_name(encoder_->pix_fmt));
    }
    picture_->pts = frames_;
    if (!file_.Encode(encoder_.get(), stream_, picture_.get(), error)) {
        return false;
    }
    ++frames_;
    return true;
}

bool VideoEncoder::Flush(std::string* error)
{
    if (flushed_) {
        return true;
    }
    flushed_ = true;
    return file_.Encode(encoder_.get(), stream_, nullptr, error);
}
