// The render farm script on this machine's job slots: its chunks joined
// against one render of the same span, and a farm stopped and run again.

#include <gtest/gtest.h>

#include <cstdio>
#include <regex>

#include "tests/e2e/test_production.h"
#include "tests/support/test_support.h"
#include "tests/tools/tool_process.h"
#include "tests/video/media_probe.h"

namespace fs = std::filesystem;

namespace {

// The span: frames 3 to 24 at NTSC's 29.97 (30000/1001), 21 frames in 3
// chunks of 7, of a production whose exit is at 2 s.
const std::vector<std::string> kSpan = {"--codec", "ffv1", "--size", "160x90", "--fps", "29.97", "--frames", "3:24"};
constexpr int kFrames = 21;

// ffmpeg's checksum of every decoded frame, picture and sound, with their times.
std::string FrameChecksums(const fs::path& video)
{
    const ToolRun run = RunTool("/usr/bin/ffmpeg", {"-v", "error", "-i", video.string(), "-f", "framemd5", "-"});
    EXPECT_EQ(run.exitCode, 0) << run.err;
    return run.out;
}

class FarmTest : public testing::Test {
protected:
    void SetUp() override { WriteTestProduction(dir.path() / "production", ProductionOptions{}); }

    ToolRun Farm(const std::string& output, const std::vector<std::string>& more, RunOptions options = {})
    {
        std::vector<std::string> arguments = {output};
        arguments.insert(arguments.end(), kSpan.begin(), kSpan.end());
        arguments.insert(arguments.end(), {"--chunk", "7"});
        arguments.insert(arguments.end(), more.begin(), more.end());
        arguments.push_back("production");
        options.directory = dir.path();
        options.environment = {{"DEMOPLAYER", DEMO_EXECUTABLE}};
        options.timeLimitSeconds = 240;
        return RunTool(FARM_SCRIPT, arguments, options);
    }

    ScopedWorkDir dir;
};

}  // namespace

TEST_F(FarmTest, ChunksOnTwoSlotsEqualOneRenderAndAStoppedFarmRendersOnlyTheRest)
{
    // One render of the span, a lossless master.
    std::vector<std::string> single = {"--render", "single.mkv"};
    single.insert(single.end(), kSpan.begin(), kSpan.end());
    single.push_back("production");
    RunOptions here;
    here.directory = dir.path();
    const ToolRun one = RunTool(DEMO_EXECUTABLE, single, here);
    ASSERT_EQ(one.exitCode, 0) << one.err;
    const std::string expected = FrameChecksums(dir.path() / "single.mkv");

    // The farm: 3 chunks on 2 slots, joined, the sound added over the whole.
    const ToolRun farm = Farm("farm.mkv", {"--jobs", "2"});
    ASSERT_EQ(farm.exitCode, 0) << farm.out << farm.err;
    EXPECT_NE(farm.out.find("in 3 chunks of up to 7 frames; 0 complete, rendering 3"), std::string::npos) << farm.out;
    EXPECT_NE(farm.err.find("3 of 3 chunks done"), std::string::npos) << farm.err;
    EXPECT_EQ(FrameChecksums(dir.path() / "farm.mkv"), expected);
    EXPECT_FALSE(fs::exists(dir.path() / "farm.mkv.chunks"));  // the chunks go once joined
    const MediaFacts facts = ProbeMedia((dir.path() / "farm.mkv").string());
    ASSERT_EQ(facts.error, "");
    EXPECT_EQ(facts.video.packets, kFrames);
    EXPECT_EQ(facts.video.codec, AV_CODEC_ID_FFV1);
    EXPECT_EQ(facts.video.frameRate.num * 1001, facts.video.frameRate.den * 30000);
    EXPECT_EQ(facts.sound.codec, AV_CODEC_ID_FLAC);
    // One sound stream, as long as the picture to the sample.
    const Sound sound = DecodeSound((dir.path() / "farm.mkv").string());
    EXPECT_NEAR(static_cast<double>(sound.left.size()) / sound.rate, kFrames * 1001.0 / 30000.0, 1.0 / sound.rate);
    const ToolRun streams = RunTool("/usr/bin/ffprobe", {"-v", "error", "-show_entries", "stream=codec_type", "-of",
                                                         "csv=p=0", (dir.path() / "farm.mkv").string()});
    EXPECT_EQ(streams.out, "video\naudio\n");

    // Stopped once its first chunk is whole (one slot, so the second is
    // under way), the farm keeps the chunks that are whole and no other.
    RunOptions stopping;
    const fs::path firstChunk = dir.path() / "resumed.mkv.chunks" / "chunk_000000.mkv";
    stopping.stopWhenProcess = [&](pid_t) { return fs::exists(firstChunk); };
    const ToolRun stopped = Farm("resumed.mkv", {"--jobs", "1"}, stopping);
    ASSERT_TRUE(stopped.stopped);
    EXPECT_EQ(stopped.exitCode, 143) << stopped.err;
    EXPECT_TRUE(std::regex_search(stopped.err, std::regex("stopped by SIGTERM: [12] of 3 chunks are complete")))
        << stopped.err;
    EXPECT_FALSE(fs::exists(dir.path() / "resumed.mkv"));
    std::vector<int> whole;
    for (int chunk = 0; chunk < 3; ++chunk) {
        char name[32];
        std::snprintf(name, sizeof name, "chunk_%06d.mkv", chunk);
        if (fs::exists(dir.path() / "resumed.mkv.chunks" / name)) {
            whole.push_back(chunk);
        }
    }
    ASSERT_FALSE(whole.empty());
    // A chunk is picture only (--no-audio): the sound comes once, over the whole.
    const MediaFacts chunk = ProbeMedia(firstChunk.string());
    EXPECT_EQ(chunk.error, "");
    EXPECT_EQ(chunk.video.packets, 7);
    EXPECT_EQ(chunk.sound.codec, AV_CODEC_ID_NONE);
    ASSERT_LT(whole.size(), 3u) << "every chunk was done before the stop: nothing is left to resume";

    // Run again: the whole chunks are skipped, only the others render, and
    // the result is the uninterrupted one.
    const ToolRun resumed = Farm("resumed.mkv", {"--jobs", "1"});
    ASSERT_EQ(resumed.exitCode, 0) << resumed.out << resumed.err;
    const std::string ranges[] = {"3:10", "10:17", "17:24"};
    for (int chunk : whole) {
        EXPECT_NE(resumed.out.find("chunk " + std::to_string(chunk + 1) + " of 3 (frames " + ranges[chunk] +
                                   ") is complete: skipped"),
                  std::string::npos)
            << resumed.out;
    }
    EXPECT_NE(resumed.out.find(std::to_string(whole.size()) + " complete, rendering " +
                               std::to_string(3 - whole.size())),
              std::string::npos)
        << resumed.out;
    EXPECT_EQ(FrameChecksums(dir.path() / "resumed.mkv"), expected);
}
