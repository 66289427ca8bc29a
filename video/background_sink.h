#pragma once
// Runs a frame sink on a worker thread behind a bounded queue, so that the
// caller renders the next frame while the last one is encoded.

#include <cstddef>
#include <memory>

#include "video/frame_sink.h"

// Write copies the frame into the queue and returns, waiting only while
// `queueFrames` frames are already waiting; the worker passes them to `sink`.
// A failure of the worker is reported by the next Write or by a Finish.
// Finish and FinishPartial wait for the queued frames, then finish `sink`
// the same way. Destroyed without either, the queued frames are still
// written before `sink` is destroyed.
std::unique_ptr<FrameSink> RunInBackground(std::unique_ptr<FrameSink> sink, size_t frameBytes,
                                           size_t queueFrames = 3);
