#include "app/show_recording.h"

#include <filesystem>
#include <string>

#include "core/log.h"
#include "render/gl/renderer_gl.h"
#include "video/frame_sink.h"

namespace {

constexpr char kMusicFile[] = "13_3.ogg";

std::unique_ptr<FrameSink> OpenSink(const PlayOptions& options, const PictureLayout& picture, double startSeconds,
                                    double endSeconds, std::string* error)
{
    const int width = static_cast<int>(picture.windowWidth);
    const int height = static_cast<int>(picture.windowHeight);
    if (IsPngSequencePath(options.renderPath)) {
        return OpenPngSequence(options.renderPath, width, height, 0, error);
    }
    VideoSettings settings;
    settings.path = options.renderPath;
    settings.width = width;
    settings.height = height;
    settings.fps = options.fps;
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

std::unique_ptr<ShowRecording> ShowRecording::Open(const PlayOptions& options, RendererGL& renderer,
                                                   int64_t firstFrame, int64_t endFrame)
{
    // The sound track covers exactly the frames: the first shows firstFrame's time.
    const double startSeconds = static_cast<double>(firstFrame) / options.fps;
    const double endSeconds = static_cast<double>(endFrame) / options.fps;
    std::string error;
    std::unique_ptr<FrameSink> sink = OpenSink(options, renderer.Picture(), startSeconds, endSeconds, &error);
    if (!sink) {
        Problem("Cannot render: ", error);
        return nullptr;
    }
    renderer.StartCapture();
    return std::unique_ptr<ShowRecording>(new ShowRecording(renderer, std::move(sink), endFrame - firstFrame,
                                                            startSeconds, options.fps, endFrame));
}

ShowRecording::ShowRecording(RendererGL& renderer, std::unique_ptr<FrameSink> sink, int64_t frames,
                             double firstSeconds, int fps, int64_t endFrame)
    : renderer_(renderer), sink_(std::move(sink)), progress_(frames, firstSeconds, fps), frames_(frames),
      endFrame_(endFrame)
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
    while (const uint8_t* frame = renderer_.TakeCapturedFrame()) {
        if (!Write(frame)) {
            return false;
        }
    }
    return true;
}

bool ShowRecording::Finish()
{
    bool written = true;
    while (const uint8_t* frame = renderer_.TakeCapturedFrame(true)) {
        written = written && Write(frame);
    }
    std::string error;
    if (!sink_->Finish(&error)) {
        Problem("Cannot render: ", error);
        written = false;
    }
    progress_.Finish(written_);
    return written;
}
