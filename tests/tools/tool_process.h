#pragma once
// Runs a program (a content tool, or the demo itself) as a separate process
// and collects what it printed.

#include <functional>
#include <map>

#include "tests/support/test_support.h"

struct ToolRun {
    int exitCode = -1;  // minus the signal number when a signal ended it
    std::string out;
    std::string err;

    // Standard output, line by line.
    std::vector<std::string> Lines() const { return SplitLines(out); }
};

struct RunOptions {
    std::filesystem::path directory = ".";
    std::map<std::string, std::string> environment;
    // A run still going after this long is ended by an alarm signal.
    unsigned timeLimitSeconds = 90;
    // Asked with the standard output and standard error so far until the
    // program ends; once it answers true, the program is sent SIGTERM.
    std::function<bool(const std::string& out, const std::string& err)> stopWhen;
};

// Runs the program with the arguments and waits for its end.
ToolRun RunTool(const std::string& program, const std::vector<std::string>& arguments,
                const RunOptions& options = {});
