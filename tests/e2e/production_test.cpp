// Our own production: it loads cleanly and plays to its end by itself.

#include <gtest/gtest.h>

#include <algorithm>

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

}  // namespace

TEST(ProductionTest, LoadsWithoutComplaintAndPlaysToItsExit)
{
    // On the fixed-step clock at eight frames a second and a small size: the
    // same show at any machine speed, in a minute or two.
    RunOptions options;
    options.environment = {{"SDL_VIDEODRIVER", "offscreen"}, {"SDL_AUDIODRIVER", "dummy"}};
    options.timeLimitSeconds = 900;
    const ToolRun run = RunTool(DEMO_EXECUTABLE, {"--fixed-step", "--fps", "8", "--size", "256x144", DEMO_PRODUCTION_DIR},
                                options);
    ASSERT_EQ(run.exitCode, 0);
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
