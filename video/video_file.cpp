// The video file sink: picture and sound in the container the file's
// extension names, encoded on a worker thread.
#include <cmath>
#include <cstdint>

#include "core/log.h"
#include "video/background_sink.h"
#include "core/failure.h"
#include "video/frame_sink.h"
#include "video/output_file.h"
#include "video/sound_encoder.h"
#include "video/video_encoder.h"
#include "video/video_format.h"

namespace {

constexpr int kLargestSide = 16384;
constexpr int kHighestFps = 1000;

class VideoFile final : public FrameSink {
public:
    VideoFile(std::unique_ptr<WholeFile> whole, std::unique_ptr<OutputFile> file, std::unique_ptr<VideoEncoder> video,
              std::unique_ptr<SoundEncoder> sound, FrameRate fps)
        : whole_(std::move(whole)), file_(std::move(file)), video_(std::move(video)), sound_(std::move(sound)),
          fps_(fps)
    {
    }

    // Unfinished, or failed: the container is closed and the temporary file
    // goes with the whole file.
    ~VideoFile() override
    {
        if (!closed_) {
            std::string ignored;
            Close(&ignored);
        }
    }

    bool Write(const uint8_t* rgba, std::string* error) override
    {
        if (!video_->Encode(rgba, error)) {
            return false;
        }
        // The sound keeps pace with the picture: the muxer then holds back only
        // a few packets to interleave the two.
        return !sound_ || sound_->EncodeUntil(PictureSeconds(), error);
    }

    bool Finish(std::string* error) override
    {
        if (sound_ && !sound_->EncodeAll(error)) {
            return false;
        }
        std::string kept;
        return Close(error) && whole_->Keep(&kept, error);
    }

    bool FinishPartial(std::string* kept, std::string* error) override
    {
        kept->clear();
        if (video_->Frames() == 0) {
            return true;  // nothing to play: nothing is kept
        }
        if (sound_ && !sound_->EncodeTo(PictureSeconds(), error)) {
            return false;
        }
        return Close(error) && whole_->KeepPartial(kept, error);
    }

private:
    double PictureSeconds() const { return fps_.TimeOf(video_->Frames()); }

    bool Close(std::string* error)
    {
        closed_ = true;
        bool flushed = video_->Flush(error) && (!sound_ || sound_->Flush(error));
        std::string closeError;
        bool closed = file_->Close(&closeError);
        if (flushed && !closed) {
            return Fail(error, closeError);
        }
        return flushed && closed;
    }

    std::unique_ptr<WholeFile> whole_;  // first: the file goes after its container is closed
    std::unique_ptr<OutputFile> file_;
    std::unique_ptr<VideoEncoder> video_;
    std::unique_ptr<SoundEncoder> sound_;
    FrameRate fps_;
    bool closed_ = false;
};

bool CheckSettings(const VideoSettings& settings, std::string* error)
{
    if (settings.width < 2 || settings.height < 2 || settings.width > kLargestSide ||
        settings.height > kLargestSide || settings.width % 2 != 0 || settings.height % 2 != 0) {
        return Fail(error, "video frames must be even numbers of pixels from 2 to 16384 wide and high, not " +
                               std::to_string(settings.width) + " x " + std::to_string(settings.height));
    }
    if (!settings.fps.Valid() || settings.fps.PerSecond() > kHighestFps || settings.fps.frames > INT32_MAX ||
        settings.fps.seconds > INT32_MAX) {
        return Fail(error, "video frame rate must be up to 1000 frames a second, not " + settings.fps.Text());
    }
    if (!std::isfinite(settings.startSeconds) || !std::isfinite(settings.endSeconds) || settings.startSeconds < 0 ||
        settings.endSeconds <= settings.startSeconds) {
        return Fail(error, "the video's span must start at 0 s or later and end after it starts, not " +
                               std::to_string(settings.startSeconds) + " s to " +
                               std::to_string(settings.endSeconds) + " s");
    }
    return true;
}

// The sound track, or null with the reason the video will have none.
std::unique_ptr<SoundTrack> OpenSoundTrack(const VideoSettings& settings, int rate, std::string* reason)
{
    if (settings.musicFile.empty()) {
        *reason = "the video has no sound: no music file given";
        return nullptr;
    }
    std::string error;
    auto track = SoundTrack::Open(settings.musicFile, settings.startSeconds, settings.endSeconds, &error, rate);
    if (!track) {
        *reason = "the video has no sound: " + error;
    }
    return track;
}

void Warn(const std::string& text, std::string* warning)
{
    if (warning) {
        *warning = text;
    } else {
        Problem("video: ", text);
    }
}

}  // namespace

std::unique_ptr<FrameSink> OpenVideo(const VideoSettings& settings, std::string* error, std::string* warning)
{
    QuietLibraryLog();
    VideoFormat format;
    if (!CheckSettings(settings, error)) {
        return nullptr;
    }
    if (std::string problem = ChooseVideoFormat(settings.path, settings.codec, &format); !problem.empty()) {
        Fail(error, problem);
        return nullptr;
    }
    const int smallest = SmallestSide(format.codec);
    if (settings.width < smallest || settings.height < smallest) {
        Fail(error, std::string(CodecTitle(format.codec)) + " frames must be at least " + std::to_string(smallest) +
                        " pixels wide and high");
        return nullptr;
    }
    if (!TakesQuality(format.codec) && (settings.crf >= 0 || settings.bitRate > 0)) {
        Fail(error, std::string(CodecTitle(format.codec)) + " has a quality of its own: no crf or bit rate");
        return nullptr;
    }
    auto whole = std::make_unique<WholeFile>(settings.path, settings.replace);
    if (!whole->ok()) {
        Fail(error, "cannot create '" + settings.path + "': " + whole->error());
        return nullptr;
    }
    auto file = OutputFile::Create(settings.path, whole->TemporaryPath(), format.muxer, error);
    if (!file) {
        return nullptr;
    }
    const PictureSettings picture{format.codec, settings.width, settings.height, settings.fps, settings.crf,
                                  settings.bitRate};
    auto video = VideoEncoder::Open(*file, picture, error);
    if (!video) {
        return nullptr;
    }
    std::string noSound;
    std::unique_ptr<SoundEncoder> sound;
    std::unique_ptr<SoundTrack> track;
    if (settings.sound) {
        track = OpenSoundTrack(settings, SoundEncoder::RateFor(format.sound), &noSound);
    }
    if (track) {
        sound = SoundEncoder::Open(*file, format.sound, std::move(track), error);
        if (!sound) {
            return nullptr;
        }
    }
    if (!file->Open(error)) {
        return nullptr;
    }
    if (!noSound.empty()) {
        Warn(noSound, warning);
    }
    auto sink = std::make_unique<VideoFile>(std::move(whole), std::move(file), std::move(video), std::move(sound),
                                            settings.fps);
    return RunInBackground(std::move(sink), static_cast<size_t>(settings.width) * settings.height * 4);
}
