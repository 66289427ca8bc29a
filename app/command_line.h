#pragma once
// The player's command line: which production to play, and how.

#include <cstdint>
#include <optional>
#include <string>

#include "core/frame_rate.h"

// Frames first up to end (end itself not included) at the chosen rate.
struct FrameRange {
    int64_t first = 0;
    int64_t end = 0;
};

struct PlayOptions {
    std::string productionDir;  // empty: the working directory or the installed production
    bool windowed = false;
    unsigned width = 1920;
    unsigned height = 1080;
    double startSeconds = 0.0;
    std::optional<double> endSeconds;  // none: the production's "exit" event
    std::optional<FrameRange> frames;  // set: the start and end as frame numbers (the times follow them)
    std::string renderPath;            // empty: play live
    FrameRate fps = 60;
    std::string codec;     // empty: the default of the output's container
    int crf = -1;          // constant quality; -1: the codec's default
    int64_t bitRate = 0;   // bits a second instead; 0: constant quality
    bool noAudio = false;  // a video without sound
    bool fixedStep = false;  // live play on the fixed-step clock (always so when rendering)
    bool overwrite = false;
    bool watch = false;  // live editing: changed files take effect, keys move through the show
    bool check = false;  // check the production and end, opening nothing
    bool verbose = false;  // the diagnostic log while rendering or checking too
    bool quiet = false;    // no diagnostic log while playing

    // The diagnostic log goes to standard output when playing (unless
    // quiet), and when rendering or checking only if verbose.
    bool Logs() const { return (Rendering() || check) ? verbose : !quiet; }

    bool Rendering() const { return !renderPath.empty(); }
    bool FixedStep() const { return fixedStep || Rendering(); }
};

// Reads argv into *options. False when the program should end at once:
// after --help or --version (*exitCode 0), or after a one-line error on
// standard error for a command line that cannot be used (*exitCode 2).
// Output paths are checked here, before anything opens; a missing output
// folder is made when the folder it belongs in exists.
bool ParseCommandLine(int argc, char** argv, PlayOptions* options, int* exitCode);
