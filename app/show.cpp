#include "app/show.h"

#include <algorithm>

#include "app/event_triggers.h"
#include "app/seek.h"
#include "app/show_recording.h"
#include "app/show_start.h"
#include "app/viewport.h"
#include "core/log.h"
#include "core/stop_signals.h"
#include "platform/music_player.h"
#include "world/world.h"

namespace {

// The earliest exit event of the production, seconds.
std::optional<float> ExitTime()
{
    std::optional<float> earliest;
    for (const EventTrigger& trigger : TheWorld().EventTriggers()) {
        if (trigger.name == "exit" && (!earliest || trigger.time < *earliest)) {
            earliest = trigger.time;
        }
    }
    return earliest;
}

}  // namespace

Show::Show(const PlayOptions& options, MusicPlayer* music)
    : options_(options), music_(music), clock_(options.FixedStep() ? options.fps : FrameRate(0))
{
    TheWorld().AttachShowState(&state_);
}

Show::~Show()
{
    state_.quitRequested = true;
    loader_.Join();
    TheWorld().AttachShowState(nullptr);
}

bool Show::WorldRuns() const
{
    return (!clock_.FixedStep() || state_.musicStarted) && !paused_;
}

bool Show::Draws() const
{
    return !options_.Rendering() || state_.musicStarted;
}

std::optional<int64_t> Show::EndFrameNumber() const
{
    const DemoClock steps(options_.fps);
    std::optional<int64_t> end;
    if (const std::optional<float> exit = ExitTime()) {
        // The exit event fires in the first frame whose time reaches it, and
        // that frame is still drawn.
        int64_t frame = std::max<int64_t>(steps.FrameAt(*exit) - 2, 0);
        while (steps.TimeOfFrame(frame) < *exit) {
            ++frame;
        }
        end = frame + 1;
    }
    if (options_.endSeconds) {
        const int64_t askedEnd = options_.frames ? options_.frames->end : steps.FrameAt(*options_.endSeconds);
        const int64_t asked = std::max(askedEnd, firstFrame_ + 1);
        end = end ? std::min(*end, asked) : asked;
    }
    return end;
}

bool Show::Begin()
{
    if (ShowRenderer* renderer = viewport_.Renderer()) {
        renderer->SetSceneShown(true);
    }
    DemoClock steps(options_.fps);
    // A render's first frame shows the start point itself, frame 0 from the
    // top; live play from the top counts its frames from the moment the
    // music starts.
    const int64_t start = options_.frames ? options_.frames->first : steps.FrameAt(options_.startSeconds);
    firstFrame_ = options_.Rendering() ? start : std::max<int64_t>(1, start);
    if (firstFrame_ == 1 && !options_.Rendering()) {
        StartShow(state_, music_);
        return false;
    }
    StartClock(state_);
    RaiseCurtain(state_);
    DemoClock& seeking = clock_.FixedStep() ? clock_ : steps;
    seeking.RestartAt(-1);
    const bool endedOnTheWay = SeekShow(state_, seeking, firstFrame_);
    if (!options_.Rendering()) {
        PlayMusicFrom(music_, steps.TimeOfFrame(firstFrame_));
        return endedOnTheWay;
    }
    if (StopSignal() != 0) {
        Problem("Render stopped by ", StopSignalName(), " at show time ", state_.demoTime,
            " s, while seeking to its start: no frame was written");
        stopReported_ = true;
        return true;
    }
    const std::optional<int64_t> end = EndFrameNumber();
    if (!end || endedOnTheWay || *end <= firstFrame_) {
        ProblemLine(end ? "Cannot render: the show ends before --start"
                        : "Cannot render: the production has no exit event; give --end");
        exitCode_ = 1;
        return true;
    }
    recording_ = ShowRecording::Open(options_, *viewport_.Renderer(), firstFrame_, *end);
    if (!recording_) {
        exitCode_ = 1;
        return true;
    }
    return false;
}

bool Show::EndFrame()
{
    if (!state_.musicStarted) {
        return false;
    }
    if (recording_) {
        bool ends = false;
        if (!recording_->TakeFrames()) {
            exitCode_ = 1;
            ends = true;
        }
        return ends || clock_.ShowFrames() + 1 >= recording_->EndFrame();
    }
    return options_.endSeconds && state_.demoTime >= *options_.endSeconds;
}

void Show::Finish()
{
    if (recording_) {
        stopReported_ = true;  // the recording says how far it got
        if (!recording_->Finish()) {
            exitCode_ = 1;
        }
    }
    recording_.reset();
    if (StopSignal() != 0 && !stopReported_) {
        ReportStop();
    }
}

void Show::ReportStop()
{
    stopReported_ = true;
    if (options_.Rendering()) {
        Problem("Render stopped by ", StopSignalName(), " while loading: no frame was written");
    } else if (state_.musicStarted) {
        Log("Stopped by ", StopSignalName(), " at show time ", state_.demoTime, " s");
    } else {
        Log("Stopped by ", StopSignalName(), " while loading, before the show began");
    }
}

void Show::TogglePause()
{
    if (!state_.musicStarted || recording_) {
        return;
    }
    paused_ = !paused_;
    if (music_ && paused_) {
        music_->Pause();
    } else if (music_) {
        music_->Resume();
    }
    Log(paused_ ? "Show paused at " : "Show resumed at ", state_.demoTime, " s");
}

bool Show::JumpTo(double seconds)
{
    if (!state_.musicStarted || recording_) {
        return false;
    }
    DemoClock steps = clock_.FixedStep() ? clock_ : DemoClock(options_.fps);
    // The world is brought to the target frame itself, so that a paused
    // show shows it.
    const int64_t target = std::max<int64_t>(0, steps.FrameAt(seconds));
    const int64_t now = clock_.FixedStep() ? clock_.ShowFrames() : steps.FrameAt(state_.demoTime);
    if (target <= now) {
        // Back to the top: "stop" puts the actors back (objects whole,
        // lights their own colour), "play" starts them again, and the
        // events fire anew from the first one.
        state_.demoTime = 0.0f;
        state_.lastTriggerTime = 0.0f;
        steps.RestartAt(-1);
        Broadcast("stop");
        RaiseCurtain(state_);
    } else {
        steps.RestartAt(now);
        state_.demoTime = steps.TimeOfFrame(now);
    }
    const bool ends = SeekShow(state_, steps, target + 1);
    if (clock_.FixedStep()) {
        clock_ = steps;
    }
    PlayMusicFrom(music_, steps.TimeOfFrame(target));
    if (music_ && paused_) {
        music_->Pause();
    }
    Log("Show moved to ", state_.demoTime, " s");
    return ends;
}
