// The worker behind a sink, with a sink that records what reaches it: every
// frame, whole and in order, though the caller reuses its buffer; a failure
// of the worker stops it and reaches the caller; an unfinished sink still
// passes on its queued frames. Run under ThreadSanitizer in CI.
#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "video/background_sink.h"

namespace {

constexpr size_t kFrameBytes = 64;
constexpr size_t kQueueFrames = 3;

struct Record {
    std::vector<std::vector<uint8_t>> frames;
    int finishes = 0;
};

// Keeps every frame; fails at frame `failAt` (never when negative).
class RecordingSink final : public FrameSink {
public:
    RecordingSink(std::shared_ptr<Record> record, int failAt) : record_(std::move(record)), failAt_(failAt) {}

    bool Write(const uint8_t* rgba, std::string* error) override
    {
        if (static_cast<int>(record_->frames.size()) == failAt_) {
            *error = "frame " + std::to_string(failAt_) + " does not fit";
            return false;
        }
        record_->frames.emplace_back(rgba, rgba + kFrameBytes);
        return true;
    }

    bool Finish(std::string*) override
    {
        ++record_->finishes;
        return true;
    }

private:
    std::shared_ptr<Record> record_;
    int failAt_;
};

std::vector<uint8_t> Frame(int number)
{
    std::vector<uint8_t> frame(kFrameBytes);
    for (size_t i = 0; i < frame.size(); ++i) {
        frame[i] = static_cast<uint8_t>(number * 7 + i);
    }
    return frame;
}

std::unique_ptr<FrameSink> Recorded(const std::shared_ptr<Record>& record, int failAt = -1)
{
    return RunInBackground(std::make_unique<RecordingSink>(record, failAt), kFrameBytes, kQueueFrames);
}

}  // namespace

TEST(BackgroundSink, EveryFrameArrivesWholeAndInOrder)
{
    auto record = std::make_shared<Record>();
    auto sink = Recorded(record);
    std::string error;
    std::vector<uint8_t> buffer;
    for (int i = 0; i < 500; ++i) {
        buffer = Frame(i);
        ASSERT_TRUE(sink->Write(buffer.data(), &error)) << error;
        std::fill(buffer.begin(), buffer.end(), 0xEE);
    }
    ASSERT_TRUE(sink->Finish(&error)) << error;
    ASSERT_EQ(record->frames.size(), 500u);
    for (int i = 0; i < 500; ++i) {
        ASSERT_EQ(record->frames[i], Frame(i)) << "frame " << i;
    }
    EXPECT_EQ(record->finishes, 1);
}

// The worker fails at frame 50; the frames after it are never written, a
// Write fails at the latest once the queue behind the failure has filled,
// and Finish gives the same reason without finishing the sink.
TEST(BackgroundSink, WorkerFailureStopsTheWorkAndReachesTheCaller)
{
    auto record = std::make_shared<Record>();
    auto sink = Recorded(record, 50);
    std::string error;
    int failedAt = -1;
    for (int i = 0; i < 100 && failedAt < 0; ++i) {
        std::vector<uint8_t> frame = Frame(i);
        if (!sink->Write(frame.data(), &error)) {
            failedAt = i;
        }
    }
    EXPECT_GT(failedAt, 50);
    EXPECT_LE(failedAt, 50 + static_cast<int>(kQueueFrames) + 1);
    EXPECT_EQ(error, "frame 50 does not fit");
    std::string finishError;
    EXPECT_FALSE(sink->Finish(&finishError));
    EXPECT_EQ(finishError, error);
    EXPECT_EQ(record->frames.size(), 50u);
    EXPECT_EQ(record->finishes, 0);
}

TEST(BackgroundSink, UnfinishedSinkPassesOnItsQueuedFrames)
{
    auto record = std::make_shared<Record>();
    auto sink = Recorded(record);
    std::string error;
    for (int i = 0; i < 10; ++i) {
        std::vector<uint8_t> frame = Frame(i);
        ASSERT_TRUE(sink->Write(frame.data(), &error)) << error;
    }
    sink.reset();
    ASSERT_EQ(record->frames.size(), 10u);
    EXPECT_EQ(record->frames.back(), Frame(9));
    EXPECT_EQ(record->finishes, 0);
}
