#include <gtest/gtest.h>

#include <regex>
#include <set>

#include "app/command_line.h"
#include "app/production_folder.h"
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

// The option names each matching line declares (the first group of
// `declaration`, split at commas).
std::set<std::string> DeclaredOptions(const std::string& text, const std::regex& declaration)
{
    std::set<std::string> names;
    for (const std::string& line : SplitLines(text)) {
        std::smatch found;
        if (std::regex_search(line, found, declaration)) {
            const std::string declared = found[1];
            const std::regex name("-{1,2}[a-z][a-z-]*");
            for (auto it = std::sregex_iterator(declared.begin(), declared.end(), name); it != std::sregex_iterator();
                 ++it) {
                names.insert(it->str());
            }
        }
    }
    return names;
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

TEST(CommandLineTest, FormatsFrameRatesAndFrameRangesAreReadAsTheOutputAllows)
{
    ScopedWorkDir dir;
    // NTSC rates as decimals or fractions are one exact fraction.
    for (const char* ntsc : {"29.97", "30000/1001", "60000/2002"}) {
        const Parsed parsed = Parse({"--fps", ntsc});
        ASSERT_TRUE(parsed.run) << parsed.error;
        EXPECT_EQ(parsed.options.fps.frames, 30000) << ntsc;
        EXPECT_EQ(parsed.options.fps.seconds, 1001) << ntsc;
    }
    EXPECT_EQ(Parse({"--fps", "59.94"}).options.fps, FrameRate(60000, 1001));
    EXPECT_EQ(Parse({"--fps", "25"}).options.fps, FrameRate(25));
    EXPECT_EQ(Parse({}).options.fps, FrameRate(60));

    // Each container with each codec it takes, and a quality where one means something.
    const Parsed webm = Parse({"--render", "m.webm", "--codec", "av1", "--crf", "40", "--no-audio"});
    ASSERT_TRUE(webm.run) << webm.error;
    EXPECT_EQ(webm.options.codec, "av1");
    EXPECT_EQ(webm.options.crf, 40);
    EXPECT_TRUE(webm.options.noAudio);
    EXPECT_EQ(Parse({"--render", "m.mp4", "--codec", "h265", "--bitrate", "2500k"}).options.bitRate, 2500000);
    EXPECT_EQ(Parse({"--render", "m.webm", "--bitrate", "8M"}).options.bitRate, 8000000);
    for (const std::vector<std::string>& args : std::vector<std::vector<std::string>>{
             {"--render", "m.mov"}, {"--render", "m.mkv", "--codec", "ffv1"}, {"--render", "m.MP4", "--crf", "0"},
             {"--render", "m.mkv", "--codec", "h264", "--crf", "51"}, {"--render", "m.webm", "--crf", "63"},
             {"--render", "m.mp4", "--size", "7680x4320"}}) {
        EXPECT_TRUE(Parse(args).run) << args[1] << " " << args.back();
    }

    // A frame range counts frames at the chosen rate: its times follow it exactly.
    const Parsed range = Parse({"--frames", "300:600", "--fps", "29.97", "--render", "m.mkv"});
    ASSERT_TRUE(range.run) << range.error;
    ASSERT_TRUE(range.options.frames.has_value());
    EXPECT_EQ(range.options.frames->first, 300);
    EXPECT_EQ(range.options.frames->end, 600);
    EXPECT_DOUBLE_EQ(range.options.startSeconds, 10.01);
    EXPECT_DOUBLE_EQ(*range.options.endSeconds, 20.02);
    EXPECT_FALSE(Parse({"--start", "1"}).options.frames.has_value());
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
        {"--size", "4294967616x180"},  // 2^32 + 320: must not wrap to 320
        {"--size", "+320x180"},
        {"--size", "1281x720", "--render", "odd.mp4"},
        {"--start", "-5"},
        {"--start", "soon"},
        {"--start", "nan"},
        {"--start", "10", "--end", "5"},
        {"--fps", "0"},
        {"--fps", "29.9"},
        {"--fps", "1/2"},
        {"--fps", "30000/0"},
        {"--fps", "241"},
        {"--fps", "-30"},
        {"--render", "m.mov", "--codec", "h264"},
        {"--render", "m.mp4", "--codec", "ffv1"},
        {"--render", "m.mkv", "--codec", "ffv1", "--crf", "10"},
        {"--render", "m.mov", "--bitrate", "8M"},
        {"--render", "m.mp4", "--crf", "52"},
        {"--render", "m.webm", "--crf", "64"},
        {"--render", "m.mp4", "--crf", "20", "--bitrate", "8M"},
        {"--render", "m.webm", "--bitrate", "0"},
        {"--render", "m.webm", "--bitrate", "9999999999999999999M"},
        {"--crf", "20"},
        {"--render", "pngs/", "--codec", "h264"},
        {"--render", "small.webm", "--codec", "av1", "--size", "64x36"},
        {"--frames", "10:5"},
        {"--frames", "a:b"},
        {"--frames", "-1:5"},
        {"--frames", "0:10", "--start", "1"},
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
    // A decimal frame rate other than NTSC's says what is taken; a codec the
    // container does not take says which it does.
    EXPECT_NE(Parse({"--fps", "29.9"}).error.find("'29.9' is not a frame rate"), std::string::npos);
    EXPECT_NE(Parse({"--render", "m.mov", "--codec", "h264"}).error.find("takes the codecs prores"),
              std::string::npos);
    EXPECT_NE(Parse({"--render", "m.mkv", "--codec", "ffv1", "--crf", "1"}).error.find("FFV1"), std::string::npos);
    EXPECT_FALSE(std::filesystem::exists("m.mov") || std::filesystem::exists("pngs"));
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

// Without a folder on the command line: this folder when it holds the scene,
// otherwise the production installed beside the executable, found from where
// the executable is now (a moved installation finds its own).
TEST(CommandLineTest, WithoutAFolderNamedTheFolderHereOrTheInstalledProductionPlays)
{
    namespace fs = std::filesystem;
    ScopedWorkDir dir;
    const fs::path here = dir.path() / "here";
    fs::create_directory(here);
    const fs::path installed = dir.path() / "opt" / "share" / "demoplayer" / "production";
    fs::create_directories(installed);
    const fs::path executable = dir.path() / "opt" / "bin" / "demoplayer";
    const auto choose = [&](const fs::path& exe) { return ChooseProduction(here, exe, "demofinal.xml"); };

    // Installed without its scene, or no executable known: stay here.
    EXPECT_EQ(choose(executable), fs::path());
    WriteFile(installed / "demofinal.xml", std::string("<base />"));
    EXPECT_EQ(choose({}), fs::path());
    EXPECT_EQ(choose(executable), installed);
    // The same installation under another prefix.
    fs::rename(dir.path() / "opt", dir.path() / "moved");
    EXPECT_EQ(choose(dir.path() / "moved" / "bin" / "demoplayer"),
              dir.path() / "moved" / "share" / "demoplayer" / "production");
    EXPECT_EQ(choose(executable), fs::path());
    // A scene here wins; a folder named like the scene is not one.
    fs::create_directory(here / "demofinal.xml");
    EXPECT_EQ(choose(dir.path() / "moved" / "bin" / "demoplayer"),
              dir.path() / "moved" / "share" / "demoplayer" / "production");
    fs::remove(here / "demofinal.xml");
    WriteFile(here / "demofinal.xml", std::string("<base />"));
    EXPECT_EQ(choose(dir.path() / "moved" / "bin" / "demoplayer"), fs::path());

    // This process is found as itself.
    EXPECT_TRUE(fs::equivalent(RunningExecutable(), "/proc/self/exe"));
}

// The manual page's source declares exactly the options --help lists, and
// the bash completion offers exactly their long names: an option added,
// renamed or removed in one place fails here until the others follow.
TEST(CommandLineTest, TheManualAndTheCompletionKnowEveryOptionOfHelpAndNoOther)
{
    testing::internal::CaptureStdout();
    Parse({"--help"});
    const std::string help = testing::internal::GetCapturedStdout();
    const std::set<std::string> listed = DeclaredOptions(help, std::regex("^  (-\\S+)"));
    ASSERT_GE(listed.size(), 10u) << help;

    const std::string manual = ReadFileText(DEMO_DIST_DIR "/demoplayer.1.scd");
    EXPECT_EQ(DeclaredOptions(manual, std::regex("^(\\*-.*\\*)( _[^_]+_)?$")), listed);
    EXPECT_NE(manual.find(kInstalledProduction), std::string::npos);

    const std::string completion = ReadFileText(DEMO_DIST_DIR "/demoplayer.bash-completion");
    const std::string offered = "compgen -W '";
    const size_t from = completion.find(offered + "--");
    ASSERT_NE(from, std::string::npos);
    const size_t first = from + offered.size();
    const std::string words = completion.substr(first, completion.find('\'', first) - first);
    std::set<std::string> longNames;
    std::copy_if(listed.begin(), listed.end(), std::inserter(longNames, longNames.end()),
                 [](const std::string& name) { return name.rfind("--", 0) == 0; });
    EXPECT_EQ(DeclaredOptions(std::regex_replace(words, std::regex("\\s+"), "\n"), std::regex("^(--\\S+)")),
              longNames);
}
