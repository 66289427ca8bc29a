// Writes a video file's container with libavformat.
#include "video/output_file.h"

std::unique_ptr<OutputFile> OutputFile::Create(const std::string& path, const std::string& writePath,
                                               const char* muxerName, std::string* error)
{
    std::unique_ptr<OutputFile> file(new OutputFile);
    file->path_ = path;
    file->writePath_ = writePath;
    int made = avformat_alloc_output_context2(&file->muxer_, nullptr, muxerName, path.c_str());
    if (made < 0) {
        AvFail(error, std::string("cannot write ") + muxerName + " files", made);
        return nullptr;
    }
    file->packet_.reset(av_packet_alloc());
    if (!file->packet_) {
        Fail(error, "not enough memory for the video");
        return nullptr;
    }
    return file;
}

OutputFile::~OutputFile()
{
    if (muxer_ && muxer_->pb) {
        avio_closep(&muxer_->pb);
    }
    avformat_free_context(muxer_);
}

bool OutputFile::WantsGlobalHeader() const
{
    return (muxer_->oformat->flags & AVFMT_GLOBALHEADER) != 0;
}

AVStream* OutputFile::AddStream(const AVCodecContext* encoder, std::string* error)
{
    AVStream* stream = avformat_new_stream(muxer_, nullptr);
    if (!stream) {
        Fail(error, "not enough memory for a stream of the video");
        return nullptr;
    }
    int copied = avcodec_parameters_from_context(stream->codecpar, encoder);
    if (copied < 0) {
        AvFail(error, "cannot describe a stream of the video", copied);
        return nullptr;
    }
    stream->time_base = encoder->time_base;
    return stream;
}

bool OutputFile::Open(std::string* error)
{
    int opened = avio_open(&muxer_->pb, writePath_.c_str(), AVIO_FLAG_WRITE);
    if (opened < 0) {
        return AvFail(error, "cannot create '" + path_ + "'", opened);
    }
    int written = avformat_write_header(muxer_, nullptr);
    if (written < 0) {
        avio_closep(&muxer_->pb);
        return AvFail(error, "cannot write the header of '" + path_ + "'", written);
    }
    headerWritten_ = true;
    return true;
}

bool OutputFile::Encode(AVCodecContext* encoder, AVStream* stream, const AVFrame* frame, std::string* error)
{
    int sent = avcodec_send_frame(encoder, frame);
    if (sent < 0) {
        return AvFail(error, "cannot encode " + std::string(encoder->codec->name) + " for '" + path_ + "'", sent);
    }
    while (true) {
        int received = avcodec_receive_packet(encoder, packet_.get());
        if (received == AVERROR(EAGAIN) || received == AVERROR_EOF) {
            return true;
        }
        if (received < 0) {
            return AvFail(error, "cannot encode " + std::string(encoder->codec->name) + " for '" + path_ + "'",
                          received);
        }
        if (!WritePacket(encoder, stream, error)) {
            return false;
        }
    }
}

bool OutputFile::WritePacket(const AVCodecContext* encoder, AVStream* stream, std::string* error)
{
    av_packet_rescale_ts(packet_.get(), encoder->time_base, stream->time_base);
    packet_->stream_index = stream->index;
    // Takes the packet's data, whatever the outcome.
    int written = av_interleaved_write_frame(muxer_, packet_.get());
    if (written < 0) {
        return AvFail(error, "cannot write to '" + path_ + "'", written);
    }
    return true;
}

bool OutputFile::Close(std::string* error)
{
    int ended = headerWritten_ ? av_write_trailer(muxer_) : 0;
    headerWritten_ = false;
    int closed = muxer_->pb ? avio_closep(&muxer_->pb) : 0;
    if (ended < 0) {
        return AvFail(error, "cannot finish '" + path_ + "'", ended);
    }
    if (closed < 0) {
        return AvFail(error, "cannot close '" + path_ + "'", closed);
    }
    return true;
}
