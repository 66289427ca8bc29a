#pragma once
// The loading thread: once the main loop runs, it loads the scene it is
// given while the loading text shows, then says the load is done (the main
// thread starts the show). It ends when the show asks to quit or a stop is
// requested; a load in progress stops at the next item.

#include <thread>

struct LoadingState;
struct ShowState;

class LoaderThread {
public:
    LoaderThread() = default;
    LoaderThread(const LoaderThread&) = delete;
    LoaderThread& operator=(const LoaderThread&) = delete;
    // Joins a thread still running: the show must have asked to quit.
    ~LoaderThread();

    // Starts the thread (once any started before has been joined); it
    // reads and writes `loading` and polls `show`, which outlive it.
    void Start(LoadingState& loading, const ShowState& show);
    // Waits for the thread to end (the show must be quitting).
    void Join();

private:
    std::thread thread_;
};
