// The bounded frame queue between the rendering thread and the encoding worker.
#include "video/frame_queue.h"

#include <cstring>
#include <utility>

FrameQueue::FrameQueue(size_t frameBytes, size_t capacity)
    : frameBytes_(frameBytes), capacity_(capacity > 0 ? capacity : 1)
{
}

bool FrameQueue::Push(const uint8_t* frame, std::string* error)
{
    std::vector<uint8_t> buffer;
    {
        std::unique_lock<std::mutex> lock(mutex_);
        changed_.wait(lock, [this] { return failed_ || frames_.size() < capacity_; });
        if (failed_) {
            if (error) {
                *error = failure_;
            }
            return false;
        }
        buffer = TakeSpare();
    }
    // Copied outside the lock so that the worker is not held up meanwhile;
    // with one producer the free slot stays free.
    buffer.resize(frameBytes_);
    std::memcpy(buffer.data(), frame, frameBytes_);
    {
        std::lock_guard<std::mutex> lock(mutex_);
        if (!failed_) {
            frames_.push_back(std::move(buffer));
        }
    }
    changed_.notify_all();
    return true;
}

void FrameQueue::Close()
{
    {
        std::lock_guard<std::mutex> lock(mutex_);
        closed_ = true;
    }
    changed_.notify_all();
}

bool FrameQueue::Pop(std::vector<uint8_t>* frame)
{
    {
        std::unique_lock<std::mutex> lock(mutex_);
        changed_.wait(lock, [this] { return failed_ || closed_ || !frames_.empty(); });
        if (failed_ || frames_.empty()) {
            return false;
        }
        std::swap(*frame, frames_.front());
        spare_.push_back(std::move(frames_.front()));
        frames_.pop_front();
    }
    changed_.notify_all();
    return true;
}

void FrameQueue::Fail(const std::string& reason)
{
    {
        std::lock_guard<std::mutex> lock(mutex_);
        if (!failed_) {
            failed_ = true;
            failure_ = reason;
        }
        frames_.clear();
    }
    changed_.notify_all();
}

std::string FrameQueue::Failure() const
{
    std::lock_guard<std::mutex> lock(mutex_);
    return failure_;
}

std::vector<uint8_t> FrameQueue::TakeSpare()
{
    if (spare_.empty()) {
        return {};
    }
    std::vector<uint8_t> buffer = std::move(spare_.back());
    spare_.pop_back();
    return buffer;
}
