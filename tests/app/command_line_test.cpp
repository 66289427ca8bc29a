#include <gtest/gtest.h>

#include "app/command_line.h"
#include "tests/support/test_support.h"

namespace {

struct Parsed {
    bool run = false;
    int exitCode = -1;
    PlayOptions options;
    std::string error;  // what went to standard error
};

Parsed Parse(std::vector<std::string> args)
{
    args.insert(args.begin(), "demoplayer");
    std::vector<char*> argv;
    for (std::string& arg : args) {
        argv.push_back(arg.data());
    }
    Parsed parsed;
    testing::internal::CaptureStderr();
    parsed.run = ParseCommandLine(static_cast<int>(argv.size()), argv.data(), &parsed.options, &parsed.exitCode);
    parsed.error = testing::internal::GetCapturedStderr();
    return parsed;
}

}  // namespace

TEST(CommandLineTest, NoArgumentsPlayTheWorkingDirectoryFullScreenInRealTimeAndOptionsChangeThat)
{
    const Parsed plain = Parse({});
    ASSERT_TRUE(plain.run);
    EXPECT_TRUE(plain.options.productionDir.empty() && !plain.options.windowed && !plain.options.FixedStep() &&
                !plain.options.endSeconds.has_value() && !plain.options.watch);
    EXPECT_EQ(std::pair(plain.options.width, plain.options.height), std::pair(1920u, 1080u));

    // A render runs on fixed steps (its output's path is seen end to end in DemoTest).
    ScopedWorkDir dir;
    std::filesystem::create_directory("prod");
    const Parsed parsed = Parse({"--windowed", "--size", "1280x720", "--start", "60", "--end", "62.5", "--fps",
                                 "30", "--render", "show.mp4", "prod"});
    ASSERT_TRUE(parsed.run) << parsed.error;
    EXPECT_TRUE(parsed.options.windowed);
    EXPECT_DOUBLE_EQ(parsed.options.startSeconds, 60.0);
    EXPECT_DOUBLE_EQ(*parsed.options.endSeconds, 62.5);
    EXPECT_TRUE(parsed.options.FixedStep());
    // A folder for PNG files keeps its trailing slash, and is made when the
    // folder it belongs in exists.
    EXPECT_EQ(Parse({"--render", "frames/"}).options.renderPath, (dir.path() / "frames").string() + "/");
    EXPECT_TRUE(std::filesystem::is_directory("frames"));
    EXPECT_TRUE(Parse({"--render", "videos/show.mp4"}).run);
    EXPECT_TRUE(std::filesystem::is_directory("videos"));

    // The diagnostic log: while playing unless --quiet; rendering and
    // checking only with --verbose.
    EXPECT_TRUE(plain.options.Logs());
    EXPECT_FALSE(Parse({"--quiet"}).options.Logs());
    EXPECT_FALSE(parsed.options.Logs());
    EXPECT_TRUE(Parse({"--verbose", "--render", "show.mp4"}).options.Logs());
    EXPECT_FALSE(Parse({"--check"}).options.Logs());
    EXPECT_TRUE(Parse({"--check", "--verbose"}).options.Logs());
}

TEST(CommandLineTest, MistakesGiveOneLineAndExitCode2BeforeAnythingOpensAndHelpEndsTheRunWell)
{
    ScopedWorkDir dir;
    WriteFile("taken.mp4", std::string("keep me"));
    std::filesystem::create_directory("frames");
    WriteFile("frames/frame_00000.png", std::string("keep me too"));
    const std::vector<std::vector<std::string>> mistakes = {
        {"--no-such-option"},
        {"--size", "0x0"},
        {"--size", "wide"},
        {"--size", "1281x720", "--render", "odd.mp4"},
        {"--start", "-5"},
        {"--start", "soon"},
        {"--start", "nan"},
        {"--start", "10", "--end", "5"},
        {"--fps", "0"},
        {"--fps", "29.97"},
        {"--verbose", "--quiet"},
        {"--render", "missing/deeper/show.mp4"},
        {"--render", "missing/deeper/"},
        {"--render", "show.avi"},
        {"--render", "frames/%s%n.png"},
        {"--render", "taken.mp4"},
        {"--render", "frames/"},
        {"no-such-folder"},
    };
    for (const std::vector<std::string>& args : mistakes) {
        const Parsed parsed = Parse(args);
        EXPECT_FALSE(parsed.run) << args[0];
        EXPECT_EQ(parsed.exitCode, 2) << args[0];
        ASSERT_FALSE(parsed.error.empty()) << args[0];
        EXPECT_EQ(parsed.error.find('\n'), parsed.error.size() - 1) << parsed.error;
    }
    EXPECT_FALSE(std::filesystem::exists("missing"));
    // A frame rate that is not whole says so, not that it is out of range.
    EXPECT_NE(Parse({"--fps", "29.97"}).error.find("'29.97' is not a whole number"), std::string::npos);
    EXPECT_EQ(ReadFileText("taken.mp4"), "keep me");
    EXPECT_TRUE(Parse({"--render", "taken.mp4", "--overwrite"}).run);

    // Help lists every option with examples and ends the run well.
    testing::internal::CaptureStdout();
    const Parsed parsed = Parse({"--help"});
    const std::string help = testing::internal::GetCapturedStdout();
    EXPECT_FALSE(parsed.run);
    EXPECT_EQ(parsed.exitCode, 0);
    for (const char* option : {"--windowed", "--size", "--start", "--end", "--render", "--fps", "--fixed-step",
                               "--overwrite", "--watch", "--version", "PRODUCTION_DIR", "Examples:"}) {
        EXPECT_NE(help.find(option), std::string::npos) << option;
    }
}
