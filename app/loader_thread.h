#pragma once
// The loading thread: once the main loop runs, it loads the scene it is
// given while the loading text shows, then says the load is done (the main
// thread starts the show). It ends when the demo quits; a load in progress
// stops at the next item.

struct ShowState;

// Runs until the show asks to quit or a stop is requested.
void LoaderThread(const ShowState& show);
// Starts the loading thread (once any started before has been joined).
void StartLoaderThread(const ShowState& show);
// Waits for the loading thread to end (the demo must be quitting).
void JoinLoaderThread();
