#pragma once
// A bounded queue of frame copies between one producer (the thread that
// renders) and one consumer (the worker that encodes). Buffers are reused, so
// a long run allocates only a few frames' worth.

#include <condition_variable>
#include <cstddef>
#include <cstdint>
#include <deque>
#include <mutex>
#include <string>
#include <vector>

class FrameQueue {
public:
    FrameQueue(size_t frameBytes, size_t capacity);

    // Producer: copies a frame in, waiting while the queue is full. False, with
    // the consumer's reason, once the consumer has failed.
    bool Push(const uint8_t* frame, std::string* error);
    // Producer: no more frames; the consumer still takes those queued.
    void Close();

    // Consumer: moves the oldest frame into *frame, waiting while the queue is
    // empty. False once it is closed and drained, or after Fail.
    bool Pop(std::vector<uint8_t>* frame);
    // Consumer: stops the queue for good with a reason; queued frames are
    // dropped and a waiting producer is released.
    void Fail(const std::string& reason);

    // The reason given to Fail; empty while it has not failed.
    std::string Failure() const;

private:
    std::vector<uint8_t> TakeSpare();

    const size_t frameBytes_;
    const size_t capacity_;
    mutable std::mutex mutex_;
    std::condition_variable changed_;
    std::deque<std::vector<uint8_t>> frames_;
    std::vector<std::vector<uint8_t>> spare_;
    bool closed_ = false;
    bool failed_ = false;
    std::string failure_;
};
