#include "core/log.h"

#include <unistd.h>

#include <atomic>
#include <cstdint>
#include <ios>
#include <mutex>
#include <ostream>
#include <string>

namespace {

// Back to the start of the terminal's line, which is then cleared.
constexpr char kEraseLine[] = "\r\033[K";

std::mutex& LogMutex()
{
    static std::mutex mutex;
    return mutex;
}

struct Sink {
    std::atomic<std::FILE*> file{stdout};
    std::atomic<bool> discard{false};
};

Sink& TheSink()
{
    static Sink sink;
    return sink;
}

// The status line standing at the bottom of the terminal; under LogMutex().
struct StatusLine {
    std::string text;
    bool shown = false;
};

StatusLine& TheStatusLine()
{
    static StatusLine status;
    return status;
}

bool IsTerminal(std::FILE* file)
{
    return ::isatty(::fileno(file)) != 0;
}

// Writes the line to `out`; a status line on the same terminal is taken
// away first and drawn again under it. LogMutex() is held.
void WriteLineLocked(std::FILE* out, std::string_view text)
{
    const StatusLine& status = TheStatusLine();
    const bool overStatus = status.shown && (out == stderr || IsTerminal(out));
    if (overStatus) {
        std::fputs(kEraseLine, stderr);
        std::fflush(stderr);
    }
    std::fwrite(text.data(), 1, text.size(), out);
    std::fputc('\n', out);
    std::fflush(out);
    if (overStatus) {
        std::fwrite(status.text.data(), 1, status.text.size(), stderr);
        std::fflush(stderr);
    }
}

}  // namespace

void LogLine(std::string_view text)
{
    Sink& sink = TheSink();
    if (sink.discard.load(std::memory_order_relaxed)) {
        return;
    }
    std::lock_guard<std::mutex> lock(LogMutex());
    WriteLineLocked(sink.file.load(std::memory_order_relaxed), text);
}

bool LogEnabled()
{
    return !TheSink().discard.load(std::memory_order_relaxed);
}

void ProblemLine(std::string_view text)
{
    std::lock_guard<std::mutex> lock(LogMutex());
    WriteLineLocked(stderr, text);
}

void SetLogSink(std::FILE* file)
{
    std::lock_guard<std::mutex> lock(LogMutex());
    TheSink().discard.store(file == nullptr);
    TheSink().file.store(file ? file : stdout);
}

std::FILE* GetLogSink()
{
    return TheSink().discard.load() ? nullptr : TheSink().file.load();
}

bool StatusLineOnTerminal()
{
    return IsTerminal(stderr);
}

void ShowStatusLine(std::string_view text)
{
    if (!StatusLineOnTerminal()) {
        return;
    }
    std::lock_guard<std::mutex> lock(LogMutex());
    StatusLine& status = TheStatusLine();
    status.text.assign(text);
    status.shown = true;
    std::fputs(kEraseLine, stderr);
    std::fwrite(text.data(), 1, text.size(), stderr);
    std::fflush(stderr);
}

void EndStatusLine()
{
    std::lock_guard<std::mutex> lock(LogMutex());
    StatusLine& status = TheStatusLine();
    if (status.shown) {
        std::fputc('\n', stderr);
        std::fflush(stderr);
        status.shown = false;
    }
}

std::ostream& operator<<(std::ostream& out, HexAddress value)
{
    const std::ios_base::fmtflags saved = out.flags();
    out << std::hex << reinterpret_cast<std::uintptr_t>(value.address);
    out.flags(saved);
    return out;
}
