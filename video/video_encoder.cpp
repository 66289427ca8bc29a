// Converts RGBA frames to yuv420p and encodes them as H.264.
#include "video/video_encoder.h"

extern "C" {
#include <libavutil/opt.h>
}

namespace {

// libx264 when this FFmpeg has it, else any H.264 encoder.
const AVCodec* FindH264Encoder()
{
    const AVCodec* codec = avcodec_find_encoder_by_name("libx264");
    return codec ? codec : avcodec_find_encoder(AV_CODEC_ID_H264);
}

void DescribeColours(AVCodecContext* encoder)
{
    encoder->color_range = AVCOL_RANGE_MPEG;
    encoder->colorspace = AVCOL_SPC_BT709;
    encoder->color_primaries = AVCOL_PRI_BT709;
    encoder->color_trc = AVCOL_TRC_BT709;
}

}  // namespace

std::unique_ptr<VideoEncoder> VideoEncoder::Open(OutputFile& file, int width, int height, int fps,
                                                 std::string* error)
{
    std::unique_ptr<VideoEncoder> video(new VideoEncoder(file));
    if (!video->OpenEncoder(width, height, fps, error) || !video->StartConverting(error)) {
        return nullptr;
    }
    video->stream_ = file.AddStream(video->encoder_.get(), error);
    if (!video->stream_) {
        return nullptr;
    }
    // The frame rate as the container records it, for players and probes.
    video->stream_->avg_frame_rate = AVRational{fps, 1};
    video->stream_->r_frame_rate = AVRational{fps, 1};
    return video;
}

bool VideoEncoder::OpenEncoder(int width, int height, int fps, std::string* error)
{
    const AVCodec* codec = FindH264Encoder();
    if (!codec) {
        return Fail(error, "this FFmpeg has no H.264 encoder");
    }
    encoder_.reset(avcodec_alloc_context3(codec));
    if (!encoder_) {
        return Fail(error, "not enough memory for the H.264 encoder");
    }
    encoder_->width = width;
    encoder_->height = height;
    encoder_->pix_fmt = AV_PIX_FMT_YUV420P;
    encoder_->time_base = AVRational{1, fps};
    encoder_->framerate = AVRational{fps, 1};
    DescribeColours(encoder_.get());
    if (file_.WantsGlobalHeader()) {
        encoder_->flags |= AV_CODEC_FLAG_GLOBAL_HEADER;
    }
    // Constant quality at a fast preset (options an encoder lacks are left unused).
    AVDictionary* options = nullptr;
    av_dict_set(&options, "preset", "veryfast", 0);
    av_dict_set(&options, "crf", "20", 0);
    int opened = avcodec_open2(encoder_.get(), codec, &options);
    av_dict_free(&options);
    if (opened < 0) {
        return AvFail(error, std::string("cannot open the H.264 encoder ") + codec->name, opened);
    }
    return true;
}

bool VideoEncoder::StartConverting(std::string* error)
{
    int width = encoder_->width;
    int height = encoder_->height;
    converter_.reset(sws_getContext(width, height, AV_PIX_FMT_RGBA, width, height, AV_PIX_FMT_YUV420P,
                                    SWS_BICUBIC | SWS_ACCURATE_RND | SWS_FULL_CHR_H_INP, nullptr, nullptr,
                                    nullptr));
    picture_.reset(av_frame_alloc());
    if (!converter_ || !picture_) {
        return Fail(error, "cannot convert RGBA frames to yuv420p");
    }
    // Full-range RGB in, BT.709 limited-range YUV out, as the stream says.
    const int* bt709 = sws_getCoefficients(SWS_CS_ITU709);
    sws_setColorspaceDetails(converter_.get(), bt709, 1, bt709, 0, 0, 1 << 16, 1 << 16);
    picture_->format = AV_PIX_FMT_YUV420P;
    picture_->width = width;
    picture_->height = height;
    int allocated = av_frame_get_buffer(picture_.get(), 0);
    if (allocated < 0) {
        return AvFail(error, "cannot hold a yuv420p frame", allocated);
    }
    return true;
}

bool VideoEncoder::Encode(const uint8_t* rgba, std::string* error)
{
    // The encoder may still hold the last picture.
    int writable = av_frame_make_writable(picture_.get());
    if (writable < 0) {
        return AvFail(error, "cannot hold a yuv420p frame", writable);
    }
    const uint8_t* planes[1] = {rgba};
    const int strides[1] = {encoder_->width * 4};
    if (sws_scale(converter_.get(), planes, strides, 0, encoder_->height, picture_->data, picture_->linesize) <= 0) {
        return Fail(error, "cannot convert a frame to yuv420p");
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
