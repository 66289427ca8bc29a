#pragma once
// Runs the real demo executable in a directory and collects what it printed.

#include <chrono>
#include <filesystem>
#include <map>
#include <optional>
#include <string>
#include <vector>

struct DemoRun {
    int exitCode = -1;       // -1 when it did not exit by itself in time
    int signalled = 0;       // the signal that ended it, if any
    double seconds = 0.0;    // wall time until it ended
    double signalSentAt = 0.0;
    std::vector<std::string> lines;  // standard output
};

struct DemoRunOptions {
    std::map<std::string, std::string> environment;
    std::chrono::milliseconds timeout{60000};
    // Sends SIGTERM after this long, or once a line starting with `signalAfterLine` shows.
    std::optional<std::chrono::milliseconds> signalAfter;
    std::string signalAfterLine;
};

DemoRun RunDemo(const std::filesystem::path& directory, const DemoRunOptions& options);
