#pragma once
// The diagnostic log: single lines on standard output, each ended by a newline
// and flushed at once. Both threads log, so a line is always written whole.

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

// Where log lines go. Standard output unless redirected; null discards them.
// Benchmarks discard the log so that it does not dominate what they measure.
void SetLogSink(std::FILE* sink);
std::FILE* GetLogSink();

// A pointer formatted as a hexadecimal number, as some log lines show it.
struct HexAddress {
    const void* address;
};
std::ostream& operator<<(std::ostream& out, HexAddress value);
