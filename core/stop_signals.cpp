#include "core/stop_signals.h"

#include <signal.h>
#include <unistd.h>

#include <atomic>

namespace {

constexpr int kSignalExitBase = 128;

std::atomic<int> stopSignal{0};
std::atomic<bool> stopAsked{false};
static_assert(std::atomic<int>::is_always_lock_free && std::atomic<bool>::is_always_lock_free,
              "the handler may only touch lock-free atomics");

void OnStopSignal(int signal)
{
    int none = 0;
    if (!stopSignal.compare_exchange_strong(none, signal)) {
        ::_exit(kSignalExitBase + signal);  // the second: at once
    }
}

}  // namespace

void InstallStopSignals()
{
    struct sigaction action {};
    action.sa_handler = OnStopSignal;
    sigemptyset(&action.sa_mask);
    // Interrupted system calls resume: the phases look at the request
    // themselves, and a write cut short would look like a failed one.
    action.sa_flags = SA_RESTART;
    sigaction(SIGINT, &action, nullptr);
    sigaction(SIGTERM, &action, nullptr);
    signal(SIGXFSZ, SIG_IGN);
}

bool StopRequested()
{
    return stopSignal.load() != 0 || stopAsked.load();
}

void RequestStop()
{
    stopAsked.store(true);
}

void ClearStopRequest()
{
    stopAsked.store(false);
}

int StopSignal()
{
    return stopSignal.load();
}

const char* StopSignalName()
{
    switch (stopSignal.load()) {
    case SIGINT:
        return "SIGINT";
    case SIGTERM:
        return "SIGTERM";
    default:
        return "a signal";
    }
}

int StopExitCode()
{
    const int signal = stopSignal.load();
    return signal == 0 ? 0 : kSignalExitBase + signal;
}
