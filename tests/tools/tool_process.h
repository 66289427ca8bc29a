#pragma once
// Runs a tool as a separate process and collects what it printed.

#include <string>
#include <vector>

struct ToolRun {
    int exitCode = -1;  // minus the signal number when a signal ended it
    std::string out;
    std::string err;
};

// Runs the program with the arguments in the current directory; a run that
// takes longer than a minute is ended by an alarm signal.
ToolRun RunTool(const std::string& program, const std::vector<std::string>& arguments);
