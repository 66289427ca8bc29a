#pragma once
// Runs a program (a content tool, or the demo itself) as a separate process
// and collects what it printed.

#include <signal.h>
#include <sys/types.h>

#include <functional>
#include <map>

#include "tests/support/test_support.h"

struct ToolRun {
    int exitCode = -1;  // minus the signal number when a signal ended it
    std::string out;
    std::string err;
    bool stopped = false;  // stopWhen answered true and the signal was sent

    // Standard output, line by line.
    std::vector<std::string> Lines() const { return SplitLines(out); }
};

struct RunOptions {
    std::filesystem::path directory = ".";
    std::map<std::string, std::string> environment;
    // A run still going after this long is ended by an alarm signal.
    unsigned timeLimitSeconds = 90;
    // Asked with the standard output and standard error so far, and with
    // the process id, until the program ends; once either answers true, the
    // program is sent stopSignal.
    std::function<bool(const std::string& out, const std::string& err)> stopWhen;
    std::function<bool(pid_t pid)> stopWhenProcess;
    int stopSignal = SIGTERM;
    // The most bytes any file the program writes may hold (RLIMIT_FSIZE), as
    // a disk that fills would stop it; 0: no limit.
    uint64_t fileSizeLimit = 0;
};

// A program started and not yet waited for.
struct StartedTool {
    pid_t pid = -1;
    std::string outPath;
    std::string errPath;
    RunOptions options;
};

// Runs the program with the arguments and waits for its end.
ToolRun RunTool(const std::string& program, const std::vector<std::string>& arguments,
                const RunOptions& options = {});
// The same in two steps, so that programs can run side by side.
StartedTool StartTool(const std::string& program, const std::vector<std::string>& arguments,
                      const RunOptions& options = {});
ToolRun WaitForTool(const StartedTool& started);

// Seconds of processor time the process has used so far; 0 once it is gone.
double ProcessorSeconds(pid_t pid);
