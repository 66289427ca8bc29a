// Decodes and resamples a music file in one pass.
#include "media/music_decoder.h"

extern "C" {
#include <libavutil/channel_layout.h>
#include <libavutil/intreadwrite.h>
}

#include <algorithm>
#include <cstring>
#include <vector>

#include "core/file_read.h"

std::unique_ptr<MusicDecoder> MusicDecoder::Open(const std::string& path, std::string* error)
{
    QuietLibraryLog();
    std::unique_ptr<MusicDecoder> music(new MusicDecoder);
    music->path_ = path;
    if (IsSpecialFile(path)) {  // a FIFO or a device would block the opening for ever
        Fail(error, "the music '" + path + "' is not a regular file");
        return nullptr;
    }
    int opened = avformat_open_input(&music->input_, path.c_str(), nullptr, nullptr);
    if (opened < 0) {
        AvFail(error, "cannot open the music '" + path + "'", opened);
        return nullptr;
    }
    if (!music->OpenDecoder(error)) {
        return nullptr;
    }
    music->packet_.reset(av_packet_alloc());
    music->frame_.reset(av_frame_alloc());
    if (!music->packet_ || !music->frame_) {
        Fail(error, "not enough memory to decode the music");
        return nullptr;
    }
    return music;
}

MusicDecoder::~MusicDecoder()
{
    avformat_close_input(&input_);
}

bool MusicDecoder::OpenDecoder(std::string* error)
{
    int found = avformat_find_stream_info(input_, nullptr);
    if (found < 0) {
        return AvFail(error, "cannot read the music '" + path_ + "'", found);
    }
    const AVCodec* codec = nullptr;
    streamIndex_ = av_find_best_stream(input_, AVMEDIA_TYPE_AUDIO, -1, -1, &codec, 0);
    if (streamIndex_ < 0 || !codec) {
        return Fail(error, "the music '" + path_ + "' holds no sound stream that can be decoded");
    }
    decoder_.reset(avcodec_alloc_context3(codec));
    if (!decoder_) {
        return Fail(error, "not enough memory to decode the music");
    }
    int copied = avcodec_parameters_to_context(decoder_.get(), input_->streams[streamIndex_]->codecpar);
    int opened = copied < 0 ? copied : avcodec_open2(decoder_.get(), codec, nullptr);
    if (opened < 0) {
        return AvFail(error, "cannot decode the music '" + path_ + "'", opened);
    }
    if (decoder_->sample_rate <= 0 || decoder_->ch_layout.nb_channels <= 0) {
        return Fail(error, "the music '" + path_ + "' has no sample rate or channels");
    }
    FindLength();
    return true;
}

// An Ogg stream states its exact length (its last granule position). The
// Ogg reader's trimming of the last packet can cut a short block more than
// that, which would shorten every pass through a looping music; so the end
// trimming is left out and each pass is cut at the stated length instead.
void MusicDecoder::FindLength()
{
    const AVStream* stream = input_->streams[streamIndex_];
    if (stream->duration != AV_NOPTS_VALUE && stream->duration > 0) {
        lengthSeconds_ = static_cast<double>(stream->duration) * av_q2d(stream->time_base);
    } else if (input_->duration != AV_NOPTS_VALUE && input_->duration > 0) {
        lengthSeconds_ = static_cast<double>(input_->duration) / AV_TIME_BASE;
    }
    if (std::strcmp(input_->iformat->name, "ogg") != 0 || stream->duration == AV_NOPTS_VALUE ||
        stream->duration <= 0) {
        return;
    }
    samplesLeft_ = av_rescale_q(stream->duration, stream->time_base, AVRational{1, decoder_->sample_rate});
}

void MusicDecoder::KeepEndOfLastPacket()
{
    size_t size = 0;
    uint8_t* skip = av_packet_get_side_data(packet_.get(), AV_PKT_DATA_SKIP_SAMPLES, &size);
    if (samplesLeft_ >= 0 && skip && size >= 8) {
        AV_WL32(skip + 4, 0);
    }
}

bool MusicDecoder::StartResampling(int rate, std::string* error)
{
    AVChannelLayout stereo;
    av_channel_layout_default(&stereo, 2);
    AVChannelLayout source;
    if (decoder_->ch_layout.order == AV_CHANNEL_ORDER_UNSPEC) {
        av_channel_layout_default(&source, decoder_->ch_layout.nb_channels);
    } else {
        av_channel_layout_copy(&source, &decoder_->ch_layout);
    }
    SwrContext* resampler = nullptr;
    int made = swr_alloc_set_opts2(&resampler, &stereo, AV_SAMPLE_FMT_FLTP, rate, &source,
                                   decoder_->sample_fmt, decoder_->sample_rate, 0, nullptr);
    av_channel_layout_uninit(&source);
    resampler_.reset(resampler);
    int started = made < 0 ? made : swr_init(resampler);
    if (started < 0) {
        return AvFail(error, "cannot resample the music '" + path_ + "'", started);
    }
    return true;
}

MusicDecoder::Result MusicDecoder::DecodeSome(AVAudioFifo* out, std::string* error)
{
    if (!draining_) {
        int read = av_read_frame(input_, packet_.get());
        if (read == AVERROR_EOF) {
            draining_ = true;
            avcodec_send_packet(decoder_.get(), nullptr);
        } else if (read < 0) {
            AvFail(error, "cannot read the music '" + path_ + "'", read);
            return Result::Failed;
        } else if (packet_->stream_index != streamIndex_) {
            av_packet_unref(packet_.get());
            return Result::More;
        } else {
            KeepEndOfLastPacket();
            int sent = avcodec_send_packet(decoder_.get(), packet_.get());
            av_packet_unref(packet_.get());
            if (sent < 0) {
                AvFail(error, "cannot decode the music '" + path_ + "'", sent);
                return Result::Failed;
            }
        }
    }
    return ReceiveFrames(out, error);
}

MusicDecoder::Result MusicDecoder::ReceiveFrames(AVAudioFifo* out, std::string* error)
{
    while (true) {
        int received = avcodec_receive_frame(decoder_.get(), frame_.get());
        if (received == AVERROR(EAGAIN)) {
            return Result::More;
        }
        if (received == AVERROR_EOF) {
            // The resampler's own tail ends the pass.
            return Resample(nullptr, out, error) ? Result::End : Result::Failed;
        }
        if (received < 0) {
            AvFail(error, "cannot decode the music '" + path_ + "'", received);
            return Result::Failed;
        }
        bool resampled = Resample(frame_.get(), out, error);
        av_frame_unref(frame_.get());
        if (!resampled) {
            return Result::Failed;
        }
    }
}

// Converts a decoded frame (null: what the resampler still holds) into `out`.
bool MusicDecoder::Resample(const AVFrame* frame, AVAudioFifo* out, std::string* error)
{
    if (frame && (frame->format != decoder_->sample_fmt || frame->sample_rate != decoder_->sample_rate ||
                  frame->ch_layout.nb_channels != decoder_->ch_layout.nb_channels)) {
        return Fail(error, "the music '" + path_ + "' changes its sample format midway");
    }
    int inputSamples = frame ? frame->nb_samples : 0;
    if (samplesLeft_ >= 0) {
        inputSamples = static_cast<int>(std::min<int64_t>(inputSamples, samplesLeft_));
        samplesLeft_ -= inputSamples;
        if (frame && inputSamples == 0) {
            return true;
        }
    }
    int room = swr_get_out_samples(resampler_.get(), inputSamples);
    if (room < 0) {
        return AvFail(error, "cannot resample the music '" + path_ + "'", room);
    }
    std::vector<float> left(room + 1);
    std::vector<float> right(room + 1);
    uint8_t* planes[2] = {reinterpret_cast<uint8_t*>(left.data()), reinterpret_cast<uint8_t*>(right.data())};
    const uint8_t** input = frame ? const_cast<const uint8_t**>(frame->extended_data) : nullptr;
    int made = swr_convert(resampler_.get(), planes, room + 1, input, inputSamples);
    if (made < 0) {
        return AvFail(error, "cannot resample the music '" + path_ + "'", made);
    }
    if (made > 0 && av_audio_fifo_write(out, reinterpret_cast<void**>(planes), made) < made) {
        return Fail(error, "not enough memory for the sound track");
    }
    return true;
}
