// The real player stopped by real signals in each phase, renders cut short
// by them, by a full disk and by a rival render of the same file, and the
// checker against the player on what the player refuses or draws wrong.

#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <iostream>
#include <map>
#include <regex>

#include "tests/e2e/test_production.h"
#include "tests/support/test_support.h"
#include "tests/tools/tool_process.h"
#include "tests/video/media_probe.h"

namespace fs = std::filesystem;

namespace {

bool Has(const std::string& text, const std::string& part)
{
    return text.find(part) != std::string::npos;
}

// A stop condition: the line has been written, to the log or with the errors.
std::function<bool(const std::string&, const std::string&)> Once(const std::string& line)
{
    return [line](const std::string& out, const std::string& err) { return Has(out, line) || Has(err, line); };
}

// The names in a folder, hidden ones included.
std::vector<std::string> Names(const fs::path& folder)
{
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(folder)) {
        names.push_back(entry.path().filename().string());
    }
    std::sort(names.begin(), names.end());
    return names;
}

// The duration of each stream of a media file as the ffprobe tool reads it,
// by codec type ("video", "audio").
std::map<std::string, double> StreamSeconds(const fs::path& file)
{
    const ToolRun probe = RunTool("/usr/bin/ffprobe", {"-v", "error", "-show_entries", "stream=codec_type,duration",
                                                       "-of", "csv=p=0", file.string()});
    std::map<std::string, double> seconds;
    for (const std::string& line : probe.Lines()) {
        const size_t comma = line.find(',');
        if (comma != std::string::npos) {
            seconds[line.substr(0, comma)] = std::stod(line.substr(comma + 1));
        }
    }
    return seconds;
}

// Whether the file is a sequence of MP4 boxes that ends exactly where the
// last box ends: nothing of another file is left behind it.
bool WholeMp4(const fs::path& file)
{
    const std::string bytes = ReadFileText(file);
    size_t at = 0;
    while (at + 8 <= bytes.size()) {
        const auto byte = [&](size_t i) { return static_cast<uint64_t>(static_cast<uint8_t>(bytes[at + i])); };
        const uint64_t size = byte(0) << 24 | byte(1) << 16 | byte(2) << 8 | byte(3);
        if (size < 8) {
            return false;
        }
        at += size;
    }
    return at == bytes.size();
}

// Whether the process has its own handler for SIGTERM: before that, the
// signal would end it the default way.
bool CatchesSigterm(pid_t pid)
{
    const std::string status = ReadFileText("/proc/" + std::to_string(pid) + "/status");
    const size_t at = status.find("SigCgt:");
    return at != std::string::npos && (std::stoull(status.substr(at + 7), nullptr, 16) >> (SIGTERM - 1) & 1) != 0;
}

// The start of a shell script that runs the player on an X server of its
// own: Xvfb on a free display, its number in $display, its process in $x.
// Whatever happens, neither the server nor the player ($demo, once started)
// outlives the script: not when it ends, nor when its time limit (an alarm
// signal) or anyone else ends it.
constexpr char kOwnXServer[] =
    "x=; demo=\n"
    "leave_nothing() { for p in $demo $x; do kill -CONT $p; kill -KILL $p; done 2>/dev/null; }\n"
    "trap leave_nothing EXIT\n"
    "trap 'exit 1' ALRM HUP INT TERM\n"
    "Xvfb -displayfd 3 -screen 0 640x480x24 -nolisten tcp 3>display.txt 2>/dev/null &\n"
    "x=$!\n"
    "for i in $(seq 300); do [ -s display.txt ] && break; sleep 0.1; done\n"
    "display=$(cat display.txt)\n";

// The environment of such a script: the player at $DEMO, SDL's X11 driver,
// no sound card needed.
std::map<std::string, std::string> OwnXServerEnvironment()
{
    return {{"DEMO", DEMO_EXECUTABLE}, {"SDL_VIDEODRIVER", "x11"}, {"SDL_AUDIODRIVER", "dummy"}};
}

class StopTest : public testing::Test {
protected:
    void SetUp() override
    {
        production = dir.path() / "production";
        WriteTestProduction(production, ProductionOptions{.exitTime = 60.0f});
    }

    // The player in the test's folder, on the fixed-step clock, headless.
    ToolRun Run(std::vector<std::string> arguments, RunOptions options = {})
    {
        options.directory = dir.path();
        options.environment.insert({{"SDL_VIDEODRIVER", "offscreen"}, {"SDL_AUDIODRIVER", "dummy"}});
        for (const char* common : {"--fixed-step", "--fps", "10", "--size", "160x90"}) {
            arguments.push_back(common);
        }
        arguments.push_back(production.string());
        return RunTool(DEMO_EXECUTABLE, arguments, options);
    }

    ScopedWorkDir dir;
    fs::path production;
};

}  // namespace

// Playing, seeking far past anything the show holds, and checking: each ends
// soon after the signal, says so, and exits with 128 + its number.
TEST_F(StopTest, SignalsEndEveryPhaseWithTheirExitCode)
{
    RunOptions interrupt;
    interrupt.stopWhen = Once("Triggering Event: restore 1.2");
    interrupt.stopSignal = SIGINT;
    const ToolRun playing = Run({}, interrupt);
    EXPECT_EQ(playing.exitCode, 130) << playing.err;
    EXPECT_TRUE(std::regex_search(playing.out, std::regex("Stopped by SIGINT at show time [0-9.]+ s"))) << playing.out;

    // A seek to 100,000,000 s never ends by itself.
    RunOptions terminate;
    terminate.stopWhen = Once("Triggering Event: activate 1.5");
    const ToolRun seeking = Run({"--start", "100000000"}, terminate);
    EXPECT_EQ(seeking.exitCode, 143) << seeking.err;
    EXPECT_TRUE(Has(seeking.out, "Stopped by SIGTERM at show time ")) << seeking.out;

    // A scene of some 300,000 automation keys in reverse order, which takes
    // the checker well over the moment it is stopped at; what it found so
    // far is not printed.
    std::string scene = ReadFileText(production / "demofinal.xml");
    std::string keys = "<box1::Position>";
    for (int i = 300000; i > 0; --i) {
        keys += "<k t=\"" + std::to_string(i) + "\" x=\"1\" y=\"2\" z=\"3\" />\n";
    }
    scene.insert(scene.find("</automations>"), keys + "</box1::Position>");
    WriteFile(production / "demofinal.xml", scene);
    RunOptions check;
    check.directory = dir.path();
    check.stopWhenProcess = [](pid_t pid) { return CatchesSigterm(pid) && ProcessorSeconds(pid) >= 0.1; };
    const ToolRun checking = RunTool(DEMO_EXECUTABLE, {"--check", production.string()}, check);
    ASSERT_TRUE(checking.stopped) << "the check ended before it could be stopped: " << checking.out.substr(0, 400);
    EXPECT_EQ(checking.exitCode, 143) << checking.err;
    EXPECT_EQ(checking.out, "the check was stopped by SIGTERM before it ended\n");
}

// Stopped by SIGINT, a video keeps the frames rendered as NAME.partial.EXT,
// picture and sound of equal length, and PNG frames written are each
// complete; no temporary file is left, and the log says how far it got.
TEST_F(StopTest, AnInterruptedRenderKeepsWhatItRenderedAndSaysHowFarItGot)
{
    RunOptions interrupt;
    interrupt.stopWhen = Once("Triggering Event: restore 1.2");
    interrupt.stopSignal = SIGINT;
    const ToolRun video = Run({"--render", "show.mp4", "--verbose"}, interrupt);
    EXPECT_EQ(video.exitCode, 130) << video.err;
    std::smatch said;
    ASSERT_TRUE(std::regex_search(video.err, said, std::regex("Render stopped by SIGINT after ([0-9]+) of 601 frames "
                                                              "\\(show time [0-9.]+ s\\); what was rendered is in "
                                                              "'[^']*/show\\.partial\\.mp4'")))
        << video.err;
    const std::map<std::string, double> seconds = StreamSeconds(dir.path() / "show.partial.mp4");
    ASSERT_EQ(seconds.size(), 2u);
    EXPECT_NEAR(seconds.at("video"), std::stoi(said[1]) / 10.0, 1e-6);
    EXPECT_NEAR(seconds.at("audio"), seconds.at("video"), 1e-3);

    fs::create_directory(dir.path() / "frames");
    const ToolRun frames = Run({"--render", "frames/", "--verbose"}, interrupt);
    EXPECT_EQ(frames.exitCode, 130) << frames.err;
    ASSERT_TRUE(std::regex_search(frames.err, said, std::regex("Render stopped by SIGINT after ([0-9]+) of 601 "
                                                               "frames .*; the frames written are complete")))
        << frames.err;
    const std::vector<std::string> written = Names(dir.path() / "frames");
    ASSERT_EQ(written.size(), static_cast<size_t>(std::stoi(said[1])));
    EXPECT_EQ(written.back(), "frame_" + std::string(5 - std::to_string(written.size() - 1).size(), '0') +
                                  std::to_string(written.size() - 1) + ".png");
    EXPECT_EQ(Names(dir.path()), (std::vector<std::string>{"frames", "production", "show.partial.mp4"}));
}

// Frozen in a present by its X server (SIGSTOP), the player cannot finish
// the frame that the first SIGTERM asks it to end after: the second ends it
// at once.
TEST_F(StopTest, ASecondSignalEndsAPlayerThatTheFirstCannotEnd)
{
    WriteFile(dir.path() / "frozen.sh",
              std::string(kOwnXServer) +
              "DISPLAY=:$display \"$DEMO\" --windowed --fixed-step --fps 30 --size 320x180 production "
              "> out.txt 2>&1 &\n"
              "demo=$!\n"
              "for i in $(seq 600); do grep -q 'Triggering Event' out.txt && break; sleep 0.1; done\n"
              "kill -STOP $x\n"
              "kill -TERM $demo\n"
              "sleep 2\n"
              "kill -0 $demo && echo 'still running after the first'\n"
              "kill -TERM $demo\n"
              // Whatever happens, neither is left behind.
              "for i in $(seq 100); do kill -0 $demo 2>/dev/null || break; sleep 0.1; done\n"
              "kill -0 $demo 2>/dev/null && echo 'still running after the second' && kill -KILL $demo\n"
              "wait $demo\n"
              "echo \"exit $?\"\n"
              "kill -CONT $x; kill $x; wait $x\n");
    RunOptions options;
    options.directory = dir.path();
    options.environment = OwnXServerEnvironment();
    const ToolRun run = RunTool("/bin/sh", {"frozen.sh"}, options);
    EXPECT_EQ(run.out, "still running after the first\nexit 143\n") << run.err << ReadFileText(dir.path() / "out.txt");
}

// The X server of a player playing full screen goes away: stopped while
// the show plays, and killed at the moment a SIGTERM asks the player to
// end, so that it may be gone while the window and the contexts are taken
// down. The player ends within seconds, never waiting on the dead
// connection: with exit code 1 and its one line on standard error, or, in
// the second case, with 143 where its shutdown finished before the
// connection was found gone.
TEST_F(StopTest, ThePlayerEndsWhenItsDisplayGoesAway)
{
    const std::string wentAway = "demoplayer: the display went away\n";
    for (const std::string ending : {"kill -TERM $x", "kill -TERM $demo; kill -KILL $x"}) {
        SCOPED_TRACE(ending);
        WriteFile(dir.path() / "gone.sh",
                  std::string(kOwnXServer) +
                  "DISPLAY=:$display \"$DEMO\" --fixed-step --fps 30 --size 160x90 production "
                  ">out.txt 2>err.txt &\n"
                  "demo=$!\n"
                  "for i in $(seq 600); do grep -q 'Triggering Event' out.txt && break; sleep 0.1; done\n"
                  "from=$(date +%s%N)\n" +
                  ending + "\n"
                  "for i in $(seq 300); do kill -0 $demo 2>/dev/null || break; sleep 0.05; done\n"
                  "kill -0 $demo 2>/dev/null && echo 'still running' && kill -KILL $demo\n"
                  "wait $demo\n"
                  "echo \"exit $?\"\n"
                  "echo $(( ($(date +%s%N) - from) / 1000000 )) >took.txt\n");
        RunOptions options;
        options.directory = dir.path();
        options.environment = OwnXServerEnvironment();
        options.timeLimitSeconds = 120;
        const ToolRun run = RunTool("/bin/sh", {"gone.sh"}, options);
        const std::string out = ReadFileText(dir.path() / "out.txt");
        const std::string err = ReadFileText(dir.path() / "err.txt");
        const std::string took = ReadFileText(dir.path() / "took.txt");
        std::cout << "[ " << run.out.substr(0, run.out.find('\n')) << ", " << took.substr(0, took.find('\n'))
                  << " ms after: " << ending << " ]\n";
        // The show had begun, full screen (no --windowed).
        ASSERT_TRUE(Has(out, "Triggering Event")) << out << err;
        if (ending == "kill -TERM $x" || run.out != "exit 143\n") {
            EXPECT_EQ(run.out, "exit 1\n") << run.err << out;
            EXPECT_EQ(err, wentAway) << out;
        } else {
            EXPECT_TRUE(Has(out, "Stopped by SIGTERM at show time ")) << out;
            EXPECT_EQ(err, "") << out;
        }
    }
}

// A disk that fills (a file-size limit) fails the render: the reason, exit
// code 1, and no file at all. Two renders of one name: with --overwrite the
// name holds one whole video, the other's bytes nowhere in it; without, the
// one that finishes second leaves the first one's video alone and keeps its
// own under the next free name.
TEST_F(StopTest, AFullDiskOrARivalRenderNeverLeavesABrokenFileUnderTheName)
{
    // Past the limit within the render's first seconds of sound; the log,
    // which goes to a file too, stays well below it.
    RunOptions full;
    full.fileSizeLimit = 64 * 1024;
    const ToolRun filled = Run({"--render", "show.mp4", "--end", "30"}, full);
    EXPECT_EQ(filled.exitCode, 1) << filled.err;
    EXPECT_TRUE(std::regex_search(filled.err, std::regex("Cannot render: .*'[^']*show\\.mp4'.*File too large")))
        << filled.err;
    EXPECT_EQ(Names(dir.path()), std::vector<std::string>{"production"});

    for (const bool overwrite : {true, false}) {
        SCOPED_TRACE(overwrite ? "--overwrite" : "without --overwrite");
        std::vector<StartedTool> renders;
        for (const char* size : {"160x90", "192x108"}) {
            std::vector<std::string> arguments = {"--render", "show.mp4", "--end", "3", "--size", size,
                                                  "--fps", "10", production.string()};
            if (overwrite) {
                arguments.push_back("--overwrite");
            }
            RunOptions options;
            options.directory = dir.path();
            options.environment = {{"SDL_VIDEODRIVER", "offscreen"}, {"SDL_AUDIODRIVER", "dummy"}};
            renders.push_back(StartTool(DEMO_EXECUTABLE, arguments, options));
        }
        std::vector<ToolRun> runs;
        for (const StartedTool& render : renders) {
            runs.push_back(WaitForTool(render));
        }
        EXPECT_TRUE(WholeMp4(dir.path() / "show.mp4"));
        const MediaFacts facts = ProbeMedia((dir.path() / "show.mp4").string());
        EXPECT_EQ(facts.error, "");
        EXPECT_EQ(facts.video.packets, 30);
        if (overwrite) {
            EXPECT_EQ(std::make_pair(runs[0].exitCode, runs[1].exitCode), std::make_pair(0, 0));
            EXPECT_EQ(Names(dir.path()), (std::vector<std::string>{"production", "show.mp4"}));
        } else {
            // Both found the name free when they started.
            EXPECT_EQ(runs[0].exitCode + runs[1].exitCode, 1) << runs[0].err << runs[1].err;
            const std::string second = runs[0].exitCode == 1 ? runs[0].err : runs[1].err;
            EXPECT_TRUE(Has(second, "exists and is not replaced; the new one is '"))
                << second;
            EXPECT_EQ(Names(dir.path()), (std::vector<std::string>{"production", "show.2.mp4", "show.mp4"}));
            EXPECT_TRUE(WholeMp4(dir.path() / "show.2.mp4"));
        }
        fs::remove(dir.path() / "show.mp4");
        fs::remove(dir.path() / "show.2.mp4");
    }
}

// What the player refuses or draws wrong, the checker calls an error; each
// has its line in the player's log too. The texture limit is the context's.
TEST_F(StopTest, TheCheckerReportsWhatThePlayerRefusesOrDrawsWrong)
{
    std::string scene = ReadFileText(production / "demofinal.xml");
    const std::pair<std::string, std::string> seeded[] = {
        {"<cube />", "<cube /> <empty />"},
        {"<plain /> </materials>", "<plain /> <wide /> </materials>"},
        {"<Cutoff x=\"8\" />", "<Cutoff x=\"-8\" />"},
        {"<key t=\"3\" x=\"0\" y=\"0\" z=\"1\" />", "<key t=\"3\" x=\"0\" y=\"0\" z=\"1\" /> <key t=\"4\" x=\"1e30\" "
                                                   "y=\"0\" z=\"-1e30\" />"},
    };
    for (const auto& [from, to] : seeded) {
        ASSERT_TRUE(Has(scene, from)) << from;
        scene.replace(scene.find(from), from.size(), to);
    }
    WriteFile(production / "demofinal.xml", scene);
    WriteFile(production / "model/empty.obj", std::vector<uint8_t>{0, 0, 0, 0, 0x37, 0x13, 0, 0});
    // 40000 x 16: wider than a graphics driver takes (the software
    // rasteriser's limit is 16384).
    constexpr uint32_t kPixelBytes = 40000 * 16 * 3;
    std::vector<uint8_t> wide = {'B', 'M'};
    const uint32_t fields[] = {54 + kPixelBytes, 0, 54, 40, 40000, 16, 1 | 24 << 16, 0, kPixelBytes, 2835, 2835, 0, 0};
    for (uint32_t field : fields) {
        for (int shift = 0; shift < 32; shift += 8) {
            wide.push_back(static_cast<uint8_t>(field >> shift));
        }
    }
    wide.resize(54 + kPixelBytes, 0x40);
    WriteFile(production / "tex/wide.bmp", wide);

    RunOptions context;
    context.environment = {{"SDL_VIDEODRIVER", "offscreen"}};
    const ToolRun check = RunTool(DEMO_EXECUTABLE, {"--check", production.string()}, context);
    EXPECT_EQ(check.exitCode, 1);
    for (const char* error : {"error: the Cutoff of light 'lamp2' is '-8', not a positive number: the light lights "
                              "nothing",
                              "error: '1e30' \\(x\\) lies beyond \\+-1e\\+15: too large for the show to draw",
                              "error: '-1e30' \\(z\\) lies beyond \\+-1e\\+15: too large for the show to draw",
                              "model/empty.obj: error: it holds no vertices: the mesh is not drawn",
                              "tex/wide.bmp: error: the graphics driver cannot hold it: 40000 x 16 pixels, more than "
                              "the [0-9]+ a side the graphics driver takes: its material is not made"}) {
        EXPECT_TRUE(std::regex_search(check.out, std::regex(error))) << error << "\n" << check.out;
    }

    const ToolRun play = Run({"--end", "0.5"});
    EXPECT_EQ(play.exitCode, 0) << play.err;
    for (const char* said : {"Light: lamp2 Cutoff -8 is not a positive number: the light lights nothing",
                             "automation cam1::Position: key 3 value 1e\\+30 is not a finite number within "
                             "\\+-1e\\+15; key skipped",
                             "VertexBuffer creation failed",
                             "Colour texture wide is too large \\(40000 x 16 pixels, more than the [0-9]+ a side "
                             "the graphics driver takes\\)"}) {
        EXPECT_TRUE(std::regex_search(play.out + play.err, std::regex(said))) << said;
    }

    // Over the scene size limit: the player refuses it whole, the checker
    // says so. Music FFmpeg has to guess at: the finding, without FFmpeg's
    // own lines.
    fs::resize_file(production / "demofinal.xml", (16 << 20) + 1);
    WriteFile(production / "13_3.ogg", std::string("not music"));
    const ToolRun large = RunTool(DEMO_EXECUTABLE, {"--check", production.string()}, context);
    EXPECT_EQ(large.exitCode, 1);
    EXPECT_TRUE(Has(large.out, "demofinal.xml: error: the scene is 16777217 bytes, more than the 16777216 the "
                               "player reads: nothing of it is loaded"))
        << large.out;
    EXPECT_TRUE(Has(large.out, "13_3.ogg: error: the music cannot be decoded")) << large.out;
    EXPECT_EQ(large.err, "");
}
