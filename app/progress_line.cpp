#include "app/progress_line.h"

#include <cstdio>

#include "core/log.h"

namespace {

constexpr auto kTerminalInterval = std::chrono::milliseconds(250);
constexpr auto kPlainInterval = std::chrono::seconds(5);

std::string Duration(double seconds)
{
    const long whole = static_cast<long>(seconds + 0.5);
    char text[32];
    if (whole >= 60) {
        std::snprintf(text, sizeof text, "%ld min %02ld s", whole / 60, whole % 60);
    } else {
        std::snprintf(text, sizeof text, "%ld s", whole);
    }
    return text;
}

}  // namespace

ProgressLine::ProgressLine(int64_t total, double firstSeconds, FrameRate fps)
    : total_(total), firstSeconds_(firstSeconds), fps_(fps), terminal_(StatusLineOnTerminal()),
      started_(Clock::now()), lastPrinted_(started_)
{
}

std::string ProgressLine::Text(int64_t done, double elapsedSeconds) const
{
    const double rate = elapsedSeconds > 0.0 ? static_cast<double>(done) / elapsedSeconds : 0.0;
    const double showTime = firstSeconds_ + fps_.TimeOf(done);
    char text[160];
    std::snprintf(text, sizeof text, "frame %lld of %lld, show at %.1f s, %.1f frames/s", static_cast<long long>(done),
                  static_cast<long long>(total_), showTime, rate);
    std::string line = text;
    if (rate > 0.0 && done < total_) {
        line += ", " + Duration(static_cast<double>(total_ - done) / rate) + " left";
    }
    return line;
}

void ProgressLine::Update(int64_t done)
{
    const Clock::time_point now = Clock::now();
    if (now - lastPrinted_ >= (terminal_ ? Clock::duration(kTerminalInterval) : Clock::duration(kPlainInterval))) {
        Print(done, false);
        lastPrinted_ = now;
    }
}

void ProgressLine::Finish(int64_t done)
{
    Print(done, true);
}

void ProgressLine::Print(int64_t done, bool last)
{
    const double elapsed = std::chrono::duration<double>(Clock::now() - started_).count();
    const std::string text = Text(done, elapsed);
    if (terminal_) {
        // Redrawn in place, and below any line printed meanwhile.
        ShowStatusLine(text);
        if (last) {
            EndStatusLine();
        }
        return;
    }
    std::fprintf(stderr, "%s\n", text.c_str());
    std::fflush(stderr);
}
