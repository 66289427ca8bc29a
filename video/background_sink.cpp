// A frame sink whose frames are written by a worker thread.
#include "video/background_sink.h"

#include <exception>
#include <thread>
#include <utility>
#include <vector>

#include "core/failure.h"
#include "video/frame_queue.h"

namespace {

class BackgroundSink final : public FrameSink {
public:
    BackgroundSink(std::unique_ptr<FrameSink> sink, size_t frameBytes, size_t queueFrames)
        : sink_(std::move(sink)), queue_(frameBytes, queueFrames), worker_([this] { Work(); })
    {
    }

    ~BackgroundSink() override
    {
        if (worker_.joinable()) {
            queue_.Close();
            worker_.join();
        }
    }

    bool Write(const uint8_t* rgba, std::string* error) override
    {
        if (finished_) {
            return Fail(error, "cannot write a frame: the output is already finished");
        }
        return queue_.Push(rgba, error);
    }

    bool Finish(std::string* error) override
    {
        return DrainQueue(error) && sink_->Finish(error);
    }

    bool FinishPartial(std::string* kept, std::string* error) override
    {
        return DrainQueue(error) && sink_->FinishPartial(kept, error);
    }

private:
    // The frames queued are written; false, with the reason, when the
    // worker failed or the output was finished already.
    bool DrainQueue(std::string* error)
    {
        if (finished_) {
            return Fail(error, "the output is already finished");
        }
        finished_ = true;
        queue_.Close();
        worker_.join();
        std::string failure = queue_.Failure();
        if (!failure.empty()) {
            return Fail(error, failure);
        }
        return true;
    }


    // The worker: writes frames until the queue is closed and drained, or the
    // first failure, which stops the queue.
    void Work()
    {
        std::vector<uint8_t> frame;
        while (queue_.Pop(&frame)) {
            std::string error;
            if (!WriteOne(frame, &error)) {
                queue_.Fail(error.empty() ? "a frame could not be written" : error);
                return;
            }
        }
    }

    // Nothing thrown may leave the worker thread.
    bool WriteOne(const std::vector<uint8_t>& frame, std::string* error)
    {
        try {
            return sink_->Write(frame.data(), error);
        } catch (const std::exception& failure) {
            return Fail(error, std::string("a frame could not be written: ") + failure.what());
        }
    }

    std::unique_ptr<FrameSink> sink_;
    FrameQueue queue_;
    bool finished_ = false;
    std::thread worker_;  // last: starts once the members it uses exist
};

}  // namespace

std::unique_ptr<FrameSink> RunInBackground(std::unique_ptr<FrameSink> sink, size_t frameBytes,
                                           size_t queueFrames)
{
    return std::make_unique<BackgroundSink>(std::move(sink), frameBytes, queueFrames);
}
