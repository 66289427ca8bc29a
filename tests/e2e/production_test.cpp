// Our own production: it loads cleanly, plays to its end by itself, and no
// frame of it is dark where the show does not mean it to be.

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <numeric>
#include <sstream>

#include "tests/golden/picture_diff.h"
#include "tests/support/test_support.h"
#include "tests/tools/tool_process.h"

namespace fs = std::filesystem;

namespace {

bool IsLoadComplaint(const std::string& line)
{
    // An automated camera is an actor, so its lookup passes over the object
    // list first and says so: that is the search, not a miss.
    if (line == "entity was not found in object list" || line == "entity was not found in actor list") {
        return false;
    }
    for (const char* complaint : {"Can't get", "not found", "parsing error", "Cannot open file",
                                  "Cannot load file", "Creating Mesh failure", "Loading Material failure",
                                  "add vport failed", "could not", "malformed", "not a finite number",
                                  "not a regular file", "cannot take"}) {
        if (line.find(complaint) != std::string::npos) {
            return true;
        }
    }
    return false;
}

constexpr int kFramesPerSecond = 4;
// A frame whose pixels average fewer levels than this (of 255) looks black.
constexpr double kNearlyBlack = 4.0;

// The moments the show means to be dark, in seconds.
struct DarkSpan {
    double from;
    double to;
};
constexpr DarkSpan kMeantDark[] = {
    {0.0, 2.8},      // the opening: the first light comes up over the first two beats
    {159.5, 164.0},  // the closing fade, after the last bar but one, to the frame at the exit
};

bool MeantDark(double seconds)
{
    return std::any_of(std::begin(kMeantDark), std::end(kMeantDark),
                       [seconds](const DarkSpan& span) { return seconds >= span.from && seconds <= span.to; });
}

double MeanLevel(const Picture& picture)
{
    return std::accumulate(picture.rgb.begin(), picture.rgb.end(), 0.0) / static_cast<double>(picture.rgb.size());
}

std::string FrameFile(int number)
{
    char name[32];
    std::snprintf(name, sizeof name, "frame_%05d.png", number);
    return name;
}

}  // namespace

TEST(ProductionTest, PlaysToItsExitWithoutComplaintOrAnUnmeantDarkFrame)
{
    // Rendered small on the fixed-step clock: the same show at any machine
    // speed, in a few minutes.
    ScopedWorkDir directory;
    std::filesystem::create_directories(directory.path() / "frames");
    RunOptions options;
    options.environment = {{"SDL_VIDEODRIVER", "offscreen"}, {"SDL_AUDIODRIVER", "dummy"}};
    options.timeLimitSeconds = 900;
    const ToolRun run = RunTool(DEMO_EXECUTABLE,
                                {"--render", "frames/", "--verbose", "--fps", std::to_string(kFramesPerSecond),
                                 "--size", "160x90", DEMO_PRODUCTION_DIR},
                                options);
    ASSERT_EQ(run.exitCode, 0) << run.err;
    const std::vector<std::string> lines = run.Lines();

    // Neither among the diagnostic lines nor among the errors and warnings.
    for (const std::string& line : lines) {
        EXPECT_FALSE(IsLoadComplaint(line)) << line;
    }
    for (const std::string& line : SplitLines(run.err)) {
        EXPECT_FALSE(IsLoadComplaint(line)) << line;
    }
    // The script ran to its exit.
    EXPECT_NE(std::find(lines.begin(), lines.end(), "Triggering Event: exit 163.636"), lines.end());
    EXPECT_NE(std::find(lines.begin(), lines.end(), "rel text inst 0"), lines.end());

    // Frame k shows the show at k / fps.
    std::ostringstream dark;
    int frames = 0;
    for (; std::filesystem::exists(directory.path() / "frames" / FrameFile(frames)); ++frames) {
        const Picture picture = Picture::Read(directory.path() / "frames" / FrameFile(frames));
        ASSERT_GT(picture.width, 0) << FrameFile(frames);
        const double seconds = static_cast<double>(frames) / kFramesPerSecond;
        if (MeanLevel(picture) < kNearlyBlack && !MeantDark(seconds)) {
            dark << " " << seconds;
        }
    }
    EXPECT_GT(frames, 160 * kFramesPerSecond);
    EXPECT_EQ(dark.str(), "") << "nearly black frames at these seconds of the show";
}

TEST(ProductionTest, ChecksClean)
{
    // With the shader files compiled on an offscreen context, and no sound device.
    RunOptions options;
    options.environment = {{"SDL_VIDEODRIVER", "offscreen"}, {"SDL_AUDIODRIVER", "no-such-driver"}};
    const ToolRun run = RunTool(DEMO_EXECUTABLE, {"--check", DEMO_PRODUCTION_DIR}, options);
    EXPECT_EQ(run.exitCode, 0) << run.out << run.err;
    EXPECT_EQ(run.Lines(), std::vector<std::string>{"no errors, no warnings"}) << run.out;
}
