#pragma once
// The loading thread: once the main loop runs, it loads the scene it is
// given while the loading text shows, then starts the music. It ends when
// the demo quits; a load in progress stops at the next item.

#include <thread>

void LoaderThread();
// Starts the loading thread; the returned thread is joined at shutdown.
std::thread StartLoaderThread();
