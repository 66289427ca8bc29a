// The span of the looping music that becomes a video's sound track.
#include "video/sound_track.h"

#include <algorithm>
#include <cmath>

#include "core/failure.h"

namespace {

int OutputRateFor(int sourceRate)
{
    return sourceRate == 44100 ? 44100 : 48000;
}

}  // namespace

std::unique_ptr<SoundTrack> SoundTrack::Open(const std::string& path, double startSeconds, double endSeconds,
                                             std::string* error, int rate)
{
    std::unique_ptr<SoundTrack> track(new SoundTrack);
    track->path_ = path;
    track->music_ = MusicDecoder::Open(path, error);
    if (!track->music_) {
        return nullptr;
    }
    track->rate_ = rate > 0 ? rate : OutputRateFor(track->music_->SourceRate());
    if (!track->music_->StartResampling(track->rate_, error)) {
        return nullptr;
    }
    track->pending_.reset(av_audio_fifo_alloc(AV_SAMPLE_FMT_FLTP, 2, 4096));
    if (!track->pending_) {
        Fail(error, "not enough memory for the sound track");
        return nullptr;
    }
    track->skip_ = std::llround(startSeconds * track->rate_);
    track->total_ = std::max<int64_t>(0, std::llround(endSeconds * track->rate_) - track->skip_);
    // A file that decodes to nothing is found now, not in the middle of the video.
    if (!track->Fill(1, error)) {
        return nullptr;
    }
    return track;
}

bool SoundTrack::Read(float* left, float* right, int count, std::string* error)
{
    if (count < 0 || count > RemainingSamples()) {
        return Fail(error, "the sound track has only " + std::to_string(RemainingSamples()) + " samples left");
    }
    if (!SkipToStart(error) || !Fill(count, error)) {
        return false;
    }
    void* planes[2] = {left, right};
    av_audio_fifo_read(pending_.get(), planes, count);
    given_ += count;
    return true;
}

// Drops the music before the span, a piece at a time.
bool SoundTrack::SkipToStart(std::string* error)
{
    while (skip_ > 0) {
        if (!Fill(1, error)) {
            return false;
        }
        int dropped = static_cast<int>(std::min<int64_t>(skip_, av_audio_fifo_size(pending_.get())));
        av_audio_fifo_drain(pending_.get(), dropped);
        skip_ -= dropped;
    }
    return true;
}

// Decodes until `count` samples are pending, starting the music again at its end.
bool SoundTrack::Fill(int count, std::string* error)
{
    while (av_audio_fifo_size(pending_.get()) < count) {
        int before = av_audio_fifo_size(pending_.get());
        MusicDecoder::Result result = music_->DecodeSome(pending_.get(), error);
        passSamples_ += av_audio_fifo_size(pending_.get()) - before;
        if (result == MusicDecoder::Result::Failed) {
            return false;
        }
        if (result == MusicDecoder::Result::End && !Restart(error)) {
            return false;
        }
    }
    return true;
}

bool SoundTrack::Restart(std::string* error)
{
    if (passSamples_ == 0) {
        return Fail(error, "the music '" + path_ + "' holds no samples");
    }
    passSamples_ = 0;
    music_ = MusicDecoder::Open(path_, error);
    return music_ && music_->StartResampling(rate_, error);
}
