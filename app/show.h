#pragma once
// The show as this run plays it: on which clock, from which point to which,
// and whether its frames are recorded. Live play starts when the scene is
// loaded and runs until the exit event (or --end); a recording runs on fixed
// steps and writes every frame from the start to the end.

#include <memory>
#include <optional>

#include "app/command_line.h"
#include "app/demo_clock.h"
#include "app/loader_thread.h"
#include "app/loading_state.h"
#include "app/viewport.h"
#include "platform/timer.h"
#include "world/show_state.h"

class MusicPlayer;
class ShowRecording;

class Show {
public:
    // The world's actors and cameras see this show's state from now on. The
    // music plays on the given player (none: the show is silent); the
    // player outlives the show.
    explicit Show(const PlayOptions& options, MusicPlayer* music = nullptr);
    // Asks to quit, so that a loading thread still running ends and is
    // joined; then the viewport is shut down.
    ~Show();

    DemoClock& Clock() { return clock_; }
    // The duration of the frame that begins, in milliseconds: measured by
    // the frame timer since the last frame (the first since the show was
    // made), or one step of the fixed-step clock.
    double BeginFrame() { return clock_.BeginFrame(frameTimer_.Tick()); }
    // Its clock, flags, timed events' progress and view.
    ShowState& State() { return state_; }
    // What the loading thread and the main thread hand each other, and the
    // loading thread itself.
    LoadingState& Loading() { return loading_; }
    LoaderThread& Loader() { return loader_; }
    // The window and the renderer the show is drawn with.
    Viewport& View() { return viewport_; }
    // The world runs every frame in real time (before the show begins its
    // actors get no time, so automations show their start values while the
    // actors wait); on fixed steps only once the show runs. Either way how
    // long the load takes changes nothing.
    bool WorldRuns() const;
    // Frames are drawn, except while a recording waits for the scene.
    bool Draws() const;

    // Once the scene is loaded: frames show the scene from now on, the clock
    // starts, the scene camera takes the view, "play" is broadcast, the world
    // is brought to the start point and the music plays from there (not when
    // recording). True when the show is to end at once: the exit event came
    // on the way to the start point, a stop was requested, or the recording
    // cannot be made.
    [[nodiscard]] bool Begin();
    // After a frame is drawn: the recording takes it. True when the show
    // ends: at its end point, or when the recording fails.
    [[nodiscard]] bool EndFrame();
    // After the last frame: the recording is finished.
    void Finish();
    // Moving through the show while it plays (with --watch). A paused show
    // keeps drawing its frame; the demo time, the world and the music stand.
    bool Paused() const { return paused_; }
    void TogglePause();
    // Brings the show to a point, on a frame of the fixed-step clock:
    // forward by running the world on from now, back by running it again
    // from the start, so that events fire in order and actors are where
    // playing puts them. The music follows. Nothing before the show has
    // begun, nor while recording. True when the exit event came on the way.
    [[nodiscard]] bool JumpTo(double seconds);
    double StartSeconds() const { return options_.startSeconds; }
    // 0, or 1 when the recording could not be made.
    int ExitCode() const { return exitCode_; }

private:
    // The show frame at which the recording stops (exclusive), from --end or
    // else the exit event; none when neither exists.
    std::optional<int64_t> EndFrameNumber() const;
    // One line saying how far a show a signal stopped had come.
    void ReportStop();

    PlayOptions options_;
    MusicPlayer* music_;
    Timer frameTimer_;  // made with the show, before the window
    ShowState state_;
    LoadingState loading_;
    Viewport viewport_;
    LoaderThread loader_;  // goes first, before what it uses
    DemoClock clock_;
    std::unique_ptr<ShowRecording> recording_;
    int64_t firstFrame_ = 1;
    int exitCode_ = 0;
    bool paused_ = false;
    bool stopReported_ = false;
};
