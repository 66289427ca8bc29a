#include "app/show_recording.h"

#include <filesystem>
#include <string>

#include "core/log.h"
#include "core/stop_signals.h"
#include "render/frame_capture.h"
#include "video/frame_sink.h"

namespace {

constexpr char kMusicFile[] = "13_3.ogg";

std::unique_ptr<FrameSink> OpenSink(const PlayOptions& options, const FrameCapture& capture, double startSeconds,
                                    double endSeconds, std::string* error)
{
    const int width = static_cast<int>(capture.CapturedWidth());
    const int height = static_cast<int>(capture.CapturedHeight());
    // The name was free when the command line was read; a file that takes
    // it meanwhile is replaced only with --overwrite.
    const Replace replace = options.overwrite ? Replace::kAlways : Replace::kNever;
    if (IsPngSequencePath(options.renderPath)) {
        return OpenPngSequence(options.renderPath, width, height, 0, error, replace);
    }
    VideoSettings settings;
    settings.path = options.renderPath;
    settings.replace = replace;
    settings.width = width;
    settings.height = height;
    settings.fps = options.fps;
    settings.codec = options.codec;
    settings.crf = options.crf;
    settings.bitRate = options.bitRate;
    settings.sound = !options.noAudio;
    settings.musicFile = std::filesystem::absolute(kMusicFile).string();
    settings.startSeconds = startSeconds;
    settings.endSeconds = endSeconds;
    std::string warning;
    std::unique_ptr<FrameSink> sink = OpenVideo(settings, error, &warning);
    if (sink && !warning.empty()) {
        Problem("Rendering without sound: ", warning);
    }
    return sink;
}

}  // namespace

std::unique_ptr<ShowRecording> ShowRecording::Open(const PlayOptions& options, FrameCapture& capture,
                                                   int64_t firstFrame, int64_t endFrame)
{
    // The sound track covers exactly the frames: the first shows firstFrame's time.
    const double startSeconds = options.fps.TimeOf(firstFrame);
    const double endSeconds = options.fps.TimeOf(endFrame);
    std::string error;
    std::unique_ptr<FrameSink> sink = OpenSink(options, capture, startSeconds, endSeconds, &error);
    if (!sink) {
        Problem("Cannot render: ", error);
        return nullptr;
    }
    capture.StartCapture();
    return std::unique_ptr<ShowRecording>(new ShowRecording(capture, std::move(sink), endFrame - firstFrame,
                                                            startSeconds, options.fps, endFrame));
}

ShowRecording::ShowRecording(FrameCapture& capture, std::unique_ptr<FrameSink> sink, int64_t frames,
                             double firstSeconds, FrameRate fps, int64_t endFrame)
    : capture_(capture), sink_(std::move(sink)), progress_(frames, firstSeconds, fps), frames_(frames),
      endFrame_(endFrame), firstSeconds_(firstSeconds), fps_(fps)
{
}

ShowRecording::~ShowRecording() = default;

bool ShowRecording::Write(const uint8_t* rgba)
{
    if (written_ >= frames_) {
        return true;  // drawn after the end (the frame that quits): not part of the show
    }
    std::string error;
    if (!sink_->Write(rgba, &error)) {
        Problem("Cannot render: ", error);
        return false;
    }
    ++written_;
    progress_.Update(written_);
    return true;
}

bool ShowRecording::TakeFrames()
{
    while (const uint8_t* frame = capture_.TakeCapturedFrame()) {
        if (!Write(frame)) {
            return false;
        }
    }
    return true;
}

bool ShowRecording::Finish()
{
    bool written = true;
    while (const uint8_t* frame = capture_.TakeCapturedFrame(true)) {
        written = written && Write(frame);
    }
    if (StopSignal() != 0 && written && written_ < frames_) {
        return FinishStopped();
    }
    std::string error;
    if (!sink_->Finish(&error)) {
        Problem("Cannot render: ", error);
        written = false;
    }
    progress_.Finish(written_);
    return written;
}

// Stopped by a signal before the end: what was rendered is kept, and the
// log says how far it got and where it is.
bool ShowRecording::FinishStopped()
{
    progress_.Finish(written_);
    std::string kept;
    std::string error;
    if (!sink_->FinishPartial(&kept, &error)) {
        Problem("Cannot render: ", error);
        return false;
    }
    const double seconds = firstSeconds_ + fps_.TimeOf(written_);
    std::string where;
    if (written_ == 0) {
        where = "nothing was written";
    } else if (kept.empty()) {
        where = "the frames written are complete";
    } else {
        where = "what was rendered is in '" + kept + "'";
    }
    Problem("Render stopped by ", StopSignalName(), " after ", written_, " of ", frames_, " frames (show time ", seconds,
        " s); ", where);
    return true;
}
