#pragma once
// Command-line handling shared by the tools: options with a value
// ("--scale 2"), flags ("--flip-uv"), positional arguments, numbers checked
// against their range, and diagnostics on standard error.

#include <map>
#include <set>
#include <string>
#include <vector>

// Exit codes: processing failed (bad input file, unwritable output), or the
// command line itself was wrong.
constexpr int kExitFailure = 1;
constexpr int kExitUsage = 2;

struct OptionNames {
    std::set<std::string> withValue;
    std::set<std::string> flags;
};

struct CommandLine {
    std::vector<std::string> positional;
    std::map<std::string, std::string> values;
    std::set<std::string> flags;

    bool Has(const std::string& flag) const { return flags.count(flag) != 0; }
};

// Splits argv[1..]; empty on success, otherwise the first problem (an
// unknown option, or an option without its value).
std::string ParseCommandLine(int argc, const char* const* argv, const OptionNames& names,
                             CommandLine* out);

// Reads option `name` as a number in [min, max] into *value, which keeps its
// default when the option is absent. Empty on success, otherwise the reason.
std::string ReadFloatOption(const CommandLine& line, const std::string& name, double min,
                            double max, float* value);
std::string ReadIntOption(const CommandLine& line, const std::string& name, long min, long max,
                          int* value);

// Prints "tool: message" on standard error and returns the exit code.
int ReportError(const char* tool, const std::string& message, int exitCode);
