#pragma once
// The diagnostic log: single lines on standard output, each ended by a newline
// and flushed at once. Both threads log, so a line is always written whole.
// Our own errors and warnings, the lines a user has to act on, go to standard
// error instead, whatever becomes of the log. A status line (a render's
// progress) may stand at the bottom of a terminal: every line written above
// it is printed over it and the status line drawn again below, whole.

#include <cstdio>
#include <sstream>
#include <string_view>

// Writes one line (the newline is added here) and flushes it.
void LogLine(std::string_view text);

// False while the log is discarded: callers may skip formatting a line.
bool LogEnabled();

// Formats its arguments as a stream would (floats with six significant
// digits) and writes them as one line.
template <typename... Parts>
void Log(const Parts&... parts)
{
    if (!LogEnabled()) {
        return;
    }
    std::ostringstream line;
    (line << ... << parts);
    LogLine(line.view());
}

// One error or warning line on standard error, never discarded.
void ProblemLine(std::string_view text);

template <typename... Parts>
void Problem(const Parts&... parts)
{
    std::ostringstream line;
    (line << ... << parts);
    ProblemLine(line.view());
}

// Where log lines go. Standard output unless redirected; null discards them.
// Benchmarks discard the log so that it does not dominate what they measure.
void SetLogSink(std::FILE* sink);
std::FILE* GetLogSink();

// Draws the status line at the bottom of the terminal on standard error, in
// place of the one before (nothing when standard error is not a terminal).
void ShowStatusLine(std::string_view text);
// Leaves the status line standing where it is: later lines come below it.
void EndStatusLine();
// Whether standard error is a terminal, where a status line rewrites itself.
bool StatusLineOnTerminal();

// A pointer formatted as a hexadecimal number, as some log lines show it.
struct HexAddress {
    const void* address;
};
std::ostream& operator<<(std::ostream& out, HexAddress value);
