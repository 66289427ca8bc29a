// Frames of our production and of the test production, rendered on the
// fixed-step clock at a small size at chosen moments, against reference
// pictures kept in tests/golden. After an intended change of the picture,
// scripts/update-golden.sh makes the references anew.

#include <gtest/gtest.h>

#include <cstdlib>
#include <iomanip>
#include <map>
#include <sstream>

#include "tests/e2e/test_production.h"
#include "tests/golden/picture_diff.h"
#include "tests/support/test_support.h"
#include "tests/tools/tool_process.h"

namespace fs = std::filesystem;

namespace {

constexpr int kFps = 30;
constexpr char kSize[] = "480x270";
// Fails when more than this share of pixels differ by more than kThreshold levels.
constexpr double kShare = 0.005;
constexpr int kThreshold = 16;

std::string Seconds(double seconds)
{
    std::ostringstream text;
    text << std::fixed << std::setprecision(3) << seconds;
    return text.str();
}

// Renders frames from `start` up to `end` into `folder` (frame_00000.png
// and on); false when the demo fails.
bool Render(const fs::path& production, double start, double end, const fs::path& folder, int fps = kFps)
{
    fs::create_directories(folder);
    RunOptions options;
    options.environment = {{"SDL_VIDEODRIVER", "offscreen"}};
    options.timeLimitSeconds = 300;
    const ToolRun run = RunTool(DEMO_EXECUTABLE,
                                {"--render", folder.string() + "/", "--size", kSize, "--fps", std::to_string(fps),
                                 "--start", Seconds(start), "--end", Seconds(end), "--overwrite", production.string()},
                                options);
    EXPECT_EQ(run.exitCode, 0) << run.err;
    return run.exitCode == 0;
}

std::string FrameFile(int number)
{
    char name[32];
    std::snprintf(name, sizeof name, "frame_%05d.png", number);
    return name;
}

// Renders the one frame that shows the moment `seconds` of the show and
// compares it with the reference picture SET/at_SECONDS.png.
void ExpectMomentLikeReference(const fs::path& production, double seconds, const std::string& set)
{
    Render(production, seconds, seconds + 1.0 / kFps, Seconds(seconds));
    const fs::path actual = fs::path(Seconds(seconds)) / FrameFile(0);
    const std::string name = set + "/at_" + Seconds(seconds) + ".png";
    const fs::path reference = fs::path(DEMO_GOLDEN_DIR) / name;
    if (std::getenv("DEMO_UPDATE_GOLDEN")) {
        fs::create_directories(reference.parent_path());
        fs::copy_file(actual, reference, fs::copy_options::overwrite_existing);
        return;
    }
    const PictureDiff diff = ComparePictures(Picture::Read(actual), Picture::Read(reference), kThreshold);
    if (diff.Within(kShare)) {
        return;
    }
    const fs::path failures = fs::path(DEMO_GOLDEN_FAILURES) / fs::path(name).parent_path();
    fs::create_directories(failures);
    const fs::path kept = failures / fs::path(name).filename();
    fs::copy_file(actual, kept, fs::copy_options::overwrite_existing);
    if (diff.sameSize) {
        WritePicture(fs::path(kept).replace_extension(".diff.png"), diff.difference);
    }
    ADD_FAILURE() << name << ": " << (diff.sameSize ? std::to_string(100 * diff.differingShare) + "% of pixels differ"
                                                    : std::string("size differs or no picture"))
                  << "; the frame and a difference picture are in " << failures;
}

}  // namespace

TEST(GoldenFramesTest, OurProductionLooksAsItDidAtTenMoments)
{
    ScopedWorkDir dir;
    // The hall's intro and build with its line curve, the crystal pulled
    // back together 0.6 s into its restore (38.8 s), the arena's orbit and
    // its shards flying back together, the credits over the nave and its
    // flickering lamps, the arena's last drop.
    for (const double seconds : {6.0, 22.5, 38.0, 38.8, 55.0, 72.0, 90.0, 101.0, 104.233, 140.0}) {
        ExpectMomentLikeReference(DEMO_PRODUCTION_DIR, seconds, "production");
    }
}

// The same moments of the show at any frame rate: the credits, the flicker
// and the pulses keep their own time. At 15 s, in the hall, the knot spins
// and swells with the beat while the ember flickers red beside it; at 100 s,
// in the nave, a credit line is held over the flickering amber lamps. (The
// shattered pieces are left out: their random walk is drawn per frame.)
TEST(GoldenFramesTest, OurProductionShowsTheSameAtFifteenThirtyAndSixtyFramesASecond)
{
    ScopedWorkDir dir;
    for (const double seconds : {15.0, 100.0}) {
        std::map<int, Picture> frames;
        for (const int fps : {15, 30, 60}) {
            const fs::path folder = dir.path() / (Seconds(seconds) + "_" + std::to_string(fps));
            ASSERT_TRUE(Render(DEMO_PRODUCTION_DIR, seconds, seconds + 1.0 / fps, folder, fps));
            frames[fps] = Picture::Read(folder / FrameFile(0));
        }
        for (const int fps : {15, 30}) {
            const PictureDiff diff = ComparePictures(frames[fps], frames[60], kThreshold);
            EXPECT_TRUE(diff.Within(kShare)) << fps << " fps against 60 at " << seconds << " s: "
                                             << 100 * diff.differingShare << "% of pixels differ";
        }
    }
}

// Seeking runs the world on the same fixed steps as playing, without
// drawing: the frames after a seek are those that playing from the start
// draws, byte for byte (transforms, lights, the camera, the shattered mesh,
// the flicker, the curve and the credits all where they would be).
TEST(GoldenFramesTest, TheTestProductionLooksAsItDidAndSeekingGivesTheFramesPlayingGives)
{
    ScopedWorkDir dir;
    ProductionOptions production;
    production.exitTime = 4.0f;
    const fs::path show = dir.path() / "production";
    WriteTestProduction(show, production);
    for (const double seconds : {0.5, 1.5, 3.0}) {
        ExpectMomentLikeReference(show, seconds, "test_production");
    }
    constexpr double kFrom = 2.5;
    constexpr double kTo = kFrom + 3.0 / kFps;
    ASSERT_TRUE(Render(show, 0.0, kTo, dir.path() / "played"));
    ASSERT_TRUE(Render(show, kFrom, kTo, dir.path() / "sought"));
    // A span of D seconds gives D x fps frames, frame k showing the show at
    // start + k/fps: played, frames 0 .. 77 of the show; sought, 75 .. 77.
    EXPECT_TRUE(fs::exists(dir.path() / "played" / FrameFile(77)));
    EXPECT_FALSE(fs::exists(dir.path() / "played" / FrameFile(78)));
    EXPECT_FALSE(fs::exists(dir.path() / "sought" / FrameFile(3)));
    for (int k = 0; k < 3; ++k) {
        const std::string seekFrame = ReadFileText(dir.path() / "sought" / FrameFile(k));
        ASSERT_FALSE(seekFrame.empty()) << k;
        EXPECT_EQ(seekFrame, ReadFileText(dir.path() / "played" / FrameFile(75 + k))) << k;
    }
}
