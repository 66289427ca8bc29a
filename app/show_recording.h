#pragma once
// The show recorded frame by frame: every frame the renderer draws from the
// start point is read back and written to a video file or to PNG files,
// with a progress line.

#include <cstdint>
#include <memory>

#include "app/command_line.h"
#include "app/progress_line.h"
#include "core/frame_rate.h"

class FrameCapture;
class FrameSink;

class ShowRecording {
public:
    // Records show frames firstFrame up to (not including) endFrame, as the
    // renderer captures them; null, logged, when the output cannot be opened.
    static std::unique_ptr<ShowRecording> Open(const PlayOptions& options, FrameCapture& capture,
                                               int64_t firstFrame, int64_t endFrame);
    ~ShowRecording();

    int64_t EndFrame() const { return endFrame_; }
    // The frames read back so far go to the output; false (logged) when
    // writing fails.
    bool TakeFrames();
    // The frames still in flight, then the output finished; false (logged)
    // when that fails. After a stop signal, the frames rendered are kept as
    // a partial output, and the log says how far it got.
    bool Finish();

private:
    ShowRecording(FrameCapture& capture, std::unique_ptr<FrameSink> sink, int64_t frames, double firstSeconds,
                  FrameRate fps, int64_t endFrame);
    bool Write(const uint8_t* rgba);
    bool FinishStopped();

    FrameCapture& capture_;
    std::unique_ptr<FrameSink> sink_;
    ProgressLine progress_;
    int64_t frames_;
    int64_t written_ = 0;
    int64_t endFrame_;
    double firstSeconds_;
    FrameRate fps_;
};
