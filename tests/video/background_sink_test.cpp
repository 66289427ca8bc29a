// The worker behind a sink, with a sink that records what reaches it: every
// frame, whole and in order, though the caller reuses its buffer, whether the
// sink is finished or destroyed unfinished; a failure of the worker stops it
// and reaches the caller. Run under ThreadSanitizer in CI.
#include <gtest/gtest.h>

#include <latch>
#include <memory>
#include <tuple>
#include <vector>

#include "video/background_sink.h"

namespace {

constexpr size_t kFrameBytes = 64;

// What reaches the sink; it fails at frame `failAt` (never when negative), and
// a held sink takes no frame before the gate opens.
struct Record {
    Record(int failAt, bool held) : failAt(failAt), gate(held ? 1 : 0) {}
    std::vector<std::vector<uint8_t>> frames;
    int finishes = 0;
    int partialFinishes = 0;
    int failAt;
    std::latch gate;
};

class RecordingSink final : public FrameSink {
public:
    explicit RecordingSink(Record& record) : record_(record) {}

    bool Write(const uint8_t* rgba, std::string* error) override
    {
        record_.gate.wait();
        if (static_cast<int>(record_.frames.size()) == record_.failAt) {
            *error = "frame " + std::to_string(record_.failAt) + " does not fit";
            return false;
        }
        record_.frames.emplace_back(rgba, rgba + kFrameBytes);
        return true;
    }

    bool Finish(std::string*) override
    {
        ++record_.finishes;
        return true;
    }

    bool FinishPartial(std::string* kept, std::string*) override
    {
        ++record_.partialFinishes;
        *kept = "kept.partial";
        return true;
    }

private:
    Record& record_;
};

}  // namespace

// Frames, each all its number, through one buffer that is overwritten after
// each Write, to a sink finished, finished early (every frame queued still
// arrives first), failing at frame 50, or dropped unfinished with four frames
// still to take: one in the worker held at the gate and three in the queue.
TEST(BackgroundSink, FramesArriveWholeAndInOrderUntilTheWorkerFails)
{
    for (auto [failAt, finish, partial] : {std::tuple{-1, true, false}, {-1, true, true}, {50, true, false},
                                           {-1, false, false}}) {
        SCOPED_TRACE(testing::Message() << "failing at " << failAt << (finish ? ", finished" : ", unfinished")
                                        << (partial ? " early" : ""));
        Record record(failAt, !finish);
        auto sink = RunInBackground(std::make_unique<RecordingSink>(record), kFrameBytes, 3);
        const int frames = finish ? 200 : 4;
        std::string error;
        std::vector<uint8_t> buffer;
        int written = 0;
        for (; written < frames; ++written) {
            buffer.assign(kFrameBytes, static_cast<uint8_t>(written));
            if (!sink->Write(buffer.data(), &error)) {
                break;
            }
            std::fill(buffer.begin(), buffer.end(), 0xEE);
        }
        std::string finishError;
        std::string kept;
        const bool finished = finish && (partial ? sink->FinishPartial(&kept, &finishError) : sink->Finish(&finishError));
        EXPECT_EQ(kept, partial ? "kept.partial" : "");
        // A Write fails at the latest once the queue of three behind the failure has filled.
        EXPECT_TRUE(failAt < 0 ? written == frames : written > 50 && written <= 54) << written;
        EXPECT_EQ(error, failAt < 0 ? "" : "frame 50 does not fit");
        EXPECT_EQ(finishError, error) << "Finish repeats the worker's reason";
        EXPECT_FALSE(finish && (sink->Write(buffer.data(), &finishError) || sink->Finish(&finishError)))
            << "a write or a second Finish after Finish";
        record.gate.count_down(finish ? 0 : 1);
        sink.reset();
        ASSERT_EQ(record.frames.size(), static_cast<size_t>(failAt < 0 ? frames : 50));
        for (size_t i = 0; i < record.frames.size(); ++i) {
            ASSERT_EQ(record.frames[i], std::vector<uint8_t>(kFrameBytes, static_cast<uint8_t>(i))) << "frame " << i;
        }
        EXPECT_EQ(record.finishes, finished && !partial ? 1 : 0);
        EXPECT_EQ(record.partialFinishes, finished && partial ? 1 : 0);
    }
}
