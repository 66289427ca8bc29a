#include "core/log.h"

#include <atomic>
#include <cstdint>
#include <ios>
#include <mutex>
#include <ostream>

namespace {

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

}  // namespace

void LogLine(std::string_view text)
{
    Sink& sink = TheSink();
    if (sink.discard.load(std::memory_order_relaxed)) {
        return;
    }
    std::lock_guard<std::mutex> lock(LogMutex());
    std::FILE* out = sink.file.load(std::memory_order_relaxed);
    std::fwrite(text.data(), 1, text.size(), out);
    std::fputc('\n', out);
    std::fflush(out);
}

bool LogEnabled()
{
    return !TheSink().discard.load(std::memory_order_relaxed);
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

std::ostream& operator<<(std::ostream& out, HexAddress value)
{
    const std::ios_base::fmtflags saved = out.flags();
    out << std::hex << reinterpret_cast<std::uintptr_t>(value.address);
    out.flags(saved);
    return out;
}
