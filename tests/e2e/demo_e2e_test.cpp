// The real demo executable, headless: offscreen video, audio written to a
// file, run in a directory holding a small production.

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <fstream>
#include <iterator>
#include <regex>
#include <sstream>

#include "tests/e2e/test_production.h"
#include "tests/golden/picture_diff.h"
#include "tests/support/test_support.h"
#include "tests/tools/tool_process.h"
#include "tests/video/media_probe.h"

namespace fs = std::filesystem;

namespace {

// Index of the first line matching, from `from` on; lines.size() when none.
size_t Find(const std::vector<std::string>& lines, const std::string& pattern, size_t from = 0)
{
    const std::regex expression(pattern);
    const auto matches = [&](const std::string& line) { return std::regex_match(line, expression); };
    return static_cast<size_t>(std::find_if(lines.begin() + static_cast<ptrdiff_t>(from), lines.end(), matches) -
                               lines.begin());
}

// Peak of the 16-bit samples the disk audio driver has written so far.
int PeakSample(const fs::path& path)
{
    const std::string bytes = ReadFileText(path);
    int peak = 0;
    for (size_t i = 0; i + 1 < bytes.size(); i += 2) {
        int16_t sample = 0;
        std::memcpy(&sample, bytes.data() + i, sizeof sample);
        peak = std::max(peak, std::abs(static_cast<int>(sample)));
    }
    return peak;
}

std::string Dump(const std::vector<std::string>& lines)
{
    std::string text;
    for (const std::string& line : lines) {
        text += line.rfind("XMLTag", 0) == 0 ? "" : line + "\n";  // the scene tree's release is long
    }
    return text;
}

// A scene that stands still, seen by its camera from the origin looking
// back along z: a box, a wall behind it, a floor below, two lamps. Looking
// the other way from there, as a camera that forgot the view would, nothing
// is lit.
constexpr char kStillScene[] = R"(<?xml version="1.0"?>
<base>
  <scene>
    <meshes> <cube /> </meshes>
    <materials> <checker /> <plain /> </materials>
    <objects>
      <box> <Position x="0" y="0" z="-4" /> <Scale x="0.5" y="0.5" z="0.5" /> <Mesh name="cube" /> <Material name="checker" /> </box>
      <wall> <Position x="0" y="2" z="-12" /> <Scale x="30" y="16" z="0.5" /> <Mesh name="cube" /> <Material name="checker" /> </wall>
      <floor> <Position x="0" y="-1.5" z="-8" /> <Scale x="30" y="0.2" z="16" /> <Mesh name="cube" /> <Material name="plain" /> </floor>
    </objects>
    <lights>
      <lamp1> <Color x="1" y="0.9" z="0.8" /> <Position x="0" y="4" z="1" /> <Cutoff x="30" /> </lamp1>
      <lamp2> <Color x="0.6" y="0.7" z="1" /> <Position x="3" y="2" z="-8" /> <Cutoff x="20" /> </lamp2>
    </lights>
    <actors> <cam1 classname="Camera"> <Position x="0" y="0" z="0" /> <Rotation x="0" y="3.14159" z="0" /> </cam1> </actors>
    <automations> </automations>
    <eventtrigger> <activate eventTime="0.05" target="cam1" /> <exit eventTime="100000" /> </eventtrigger>
  </scene>
</base>
)";

// Where the picture lies on the screen, and how much of it shows something:
// the share of lit pixels in the darkest of its four quarters, and outside it.
struct PictureArea {
    int x, y, width, height;
};

double LitShare(const Picture& shot, int x0, int y0, int x1, int y1)
{
    int lit = 0;
    for (int y = y0; y < y1; ++y) {
        for (int x = x0; x < x1; ++x) {
            const uint8_t* p = &shot.rgb[(static_cast<size_t>(y) * shot.width + x) * 3];
            lit += std::max({p[0], p[1], p[2]}) > 24;
        }
    }
    const int all = (x1 - x0) * (y1 - y0);
    return all > 0 ? static_cast<double>(lit) / all : 0.0;
}

double LeastLitQuarter(const Picture& shot, const PictureArea& area)
{
    const int midX = area.x + area.width / 2;
    const int midY = area.y + area.height / 2;
    const int right = area.x + area.width;
    const int bottom = area.y + area.height;
    return std::min({LitShare(shot, area.x, area.y, midX, midY), LitShare(shot, midX, area.y, right, midY),
                     LitShare(shot, area.x, midY, midX, bottom), LitShare(shot, midX, midY, right, bottom)});
}

class DemoTest : public testing::Test {
protected:
    fs::path Audio() const { return dir.path() / "audio.raw"; }

    // Plays the production in the test's directory on the fixed-step clock
    // at a small size, so that it plays the same at any machine speed; its
    // standard output.
    std::vector<std::string> Play()
    {
        const ToolRun run = Run({});
        EXPECT_EQ(run.exitCode, 0) << Dump(run.Lines());
        return run.Lines();
    }

    // The same with these variables of the environment changed, and these
    // options added.
    ToolRun Run(const std::map<std::string, std::string>& changes,
                std::function<bool(const std::string& out)> stopWhen = {}, std::vector<std::string> more = {})
    {
        RunOptions options;
        options.environment = {{"SDL_VIDEODRIVER", "offscreen"},
                               {"SDL_AUDIODRIVER", "disk"},
                               {"SDL_DISKAUDIOFILE", Audio().string()}};
        for (const auto& [name, value] : changes) {
            options.environment[name] = value;
        }
        if (stopWhen) {
            options.stopWhen = [stopWhen](const std::string& out, const std::string&) { return stopWhen(out); };
        }
        more.insert(more.begin(), {"--fixed-step", "--fps", "30", "--size", "320x180"});
        return RunTool(DEMO_EXECUTABLE, more, options);
    }

    ScopedWorkDir dir;
};

}  // namespace

// Content named like special files is refused: opening either FIFO for
// reading would wait for a writer that never comes.
TEST_F(DemoTest, PlaysTheProductionWithoutMusicToItsExitEventRefusingSpecialFiles)
{
    WriteTestProduction(dir.path(), {.music = false});
    MakeFifo(dir.path() / "13_3.ogg");
    MakeFifo(dir.path() / "tex" / "plain_normal.bmp");
    const ToolRun run = Run({});
    EXPECT_EQ(run.exitCode, 0) << run.err;
    const std::vector<std::string> lines = run.Lines();
    // Start-up, loading, the timed events on the demo clock, shutdown: in this order.
    size_t at = 0;
    for (const char* pattern : {"Cannot load music", "Cannot open file: tex/plain_normal.bmp",
                                "Triggering Event: activate 0\\.5", "Triggering Event: exit 2", "ri dtor"}) {
        at = Find(lines, pattern, at);
        ASSERT_LT(at, lines.size()) << pattern << "\n" << Dump(lines);
    }
    // Why, with the errors and warnings.
    EXPECT_NE(run.err.find("tex/plain_normal.bmp: not a regular file\n"), std::string::npos) << run.err;
}

// A stop signal ends the show cleanly, with 128 + its number as exit code.
TEST_F(DemoTest, WithoutASceneTheMusicPlaysAndSigtermEndsItCleanly)
{
    WriteTestProduction(dir.path(), ProductionOptions{});
    fs::remove(dir.path() / "demofinal.xml");
    // Stopped once the music is heard in the audio written.
    const ToolRun run = Run({}, [this](const std::string&) { return PeakSample(Audio()) > 1000; });
    EXPECT_EQ(run.exitCode, 143);
    const std::vector<std::string> lines = run.Lines();
    EXPECT_LT(Find(lines, "Cannot open file: demofinal\\.xml"), lines.size()) << Dump(lines);
    EXPECT_EQ(Find(lines, "Cannot .* music|Cannot start audio stream.*"), lines.size());
    EXPECT_LT(Find(lines, "Stopped by SIGTERM at show time .*"), Find(lines, "ri dtor"));
    EXPECT_LT(Find(lines, "ri dtor"), lines.size());
}

TEST_F(DemoTest, SigtermDuringALongLoadStopsAtTheNextItem)
{
    ProductionOptions options;
    options.heavyMeshes = 400;
    WriteTestProduction(dir.path(), options);
    const std::string heavy = "created vbuffer for 38400 vertices";
    const ToolRun run = Run({}, [&heavy](const std::string& out) { return out.find(heavy) != std::string::npos; });
    EXPECT_EQ(run.exitCode, 143);
    // The item being loaded is finished, the frame in progress completes and
    // everything shuts down, well before the end of the list.
    const std::vector<std::string> lines = run.Lines();
    EXPECT_LT(std::count(lines.begin(), lines.end(), heavy), 300);
    EXPECT_EQ(Find(lines, "loading actors"), lines.size());
    EXPECT_LT(Find(lines, "Stopped by SIGTERM while loading, before the show began"), lines.size());
    EXPECT_LT(Find(lines, "d3dx9 destroy [0-9a-f]+"), lines.size());
}

// Each start-up failure: the log line, one line on standard error that says
// why (the dummy audio driver, unlike the disk one, prints nothing there), and
// a failing exit code; nothing is loaded.
TEST_F(DemoTest, StartUpFailuresExitNonZeroAndSayWhyInOneLine)
{
    WriteTestProduction(dir.path(), ProductionOptions{});
    const std::string noDisplay = "add vport failed -1\ndemoplayer: cannot start: no display found.*--render OUT.*offscreen.*";
    // No display: where SDL would fall back to drawing offscreen, where no one
    // would see the show, and where it has no such fallback.
    const std::pair<std::map<std::string, std::string>, std::string> failures[] = {
        {{{"SDL_VIDEODRIVER", ""}, {"DISPLAY", ""}, {"WAYLAND_DISPLAY", ""}, {"XDG_RUNTIME_DIR", dir.path().string()}},
         noDisplay},
        // Without a runtime folder, where the Wayland library would say so first.
        {{{"SDL_VIDEODRIVER", ""}, {"DISPLAY", ""}, {"WAYLAND_DISPLAY", ""}, {"XDG_RUNTIME_DIR", ""}}, noDisplay},
        {{{"SDL_VIDEODRIVER", "x11"}, {"DISPLAY", ""}, {"WAYLAND_DISPLAY", ""}}, noDisplay},
        {{{"MESA_GL_VERSION_OVERRIDE", "3.3"}}, "add vport failed -2\ndemoplayer: cannot start: .*no OpenGL 4\\.5.*"},
        {{}, "add vport failed -1\ndemoplayer: cannot start: shader file lighting_shader\\.psh: .*"},
    };
    for (auto [environment, expected] : failures) {
        if (environment.empty()) {
            std::ofstream(dir.path() / "lighting_shader.psh") << "#version 450 core\nvoid main() { oops }\n";
        }
        environment["SDL_AUDIODRIVER"] = "dummy";
        const ToolRun run = Run(environment);
        EXPECT_EQ(run.exitCode, 1) << expected;
        const std::vector<std::string> lines = run.Lines();
        const size_t failed = Find(lines, "add vport failed .*");
        ASSERT_LT(failed, lines.size()) << Dump(lines);
        const std::vector<std::string> said = SplitLines(run.err);
        ASSERT_EQ(said.size(), 1u) << run.err;
        EXPECT_TRUE(std::regex_match(lines[failed] + "\n" + said[0], std::regex(expected))) << said[0];
        EXPECT_EQ(Find(lines, "Cannot load music|created vbuffer.*"), lines.size());
    }
}

// Full screen on a real X server whose screen has no 1920 x 1080 mode: the
// window takes the screen as it is, even with no window manager to resize it.
TEST_F(DemoTest, FullScreenOnAScreenOfAnotherSizeFillsTheScreen)
{
    WriteTestProduction(dir.path(), ProductionOptions{});
    WriteFile(dir.path() / "screen.sh",
              "\"$DEMO\" --fixed-step --fps 30 --size 320x180 > out.txt 2>&1 &\n"
              "demo=$!\n"
              "for i in $(seq 600); do grep -q 'Triggering Event' out.txt && break; sleep 0.1; done\n"
              "xwininfo -root -tree > windows.txt\n"
              "wait $demo\n");
    RunOptions options;
    options.directory = dir.path();
    options.environment = {{"DEMO", DEMO_EXECUTABLE}, {"SDL_VIDEODRIVER", "x11"}, {"SDL_AUDIODRIVER", "dummy"}};
    const ToolRun run =
        RunTool("/usr/bin/xvfb-run", {"-a", "-s", "-screen 0 1280x1024x24", "/bin/sh", "screen.sh"}, options);
    EXPECT_EQ(run.exitCode, 0) << run.err << ReadFileText(dir.path() / "out.txt");
    const std::string windows = ReadFileText(dir.path() / "windows.txt");
    // Its title names the production (its folder) and the program.
    const std::string title = "\"" + dir.path().filename().string() + " - demoplayer\"";
    EXPECT_TRUE(std::regex_search(windows, std::regex(title + ".* 1280x1024\\+0\\+0"))) << windows;
}

// Without a sound card the sound library would print its search for one:
// one line says instead that the show plays silently.
TEST_F(DemoTest, WithoutASoundCardOneLineSaysTheShowPlaysSilently)
{
    WriteTestProduction(dir.path(), {.exitTime = 0.2f});
    // A card that no machine has.
    const ToolRun run = Run({{"SDL_AUDIODRIVER", "alsa"}, {"AUDIODEV", "hw:97"}});
    EXPECT_EQ(run.exitCode, 0) << run.err;
    EXPECT_EQ(run.err, "demoplayer: no audio device found; the show plays silently\n");
    EXPECT_LT(Find(run.Lines(), "Triggering Event: exit 0\\.2"), run.Lines().size());
    // --quiet leaves the log out, not what the user has to know.
    const ToolRun quiet = Run({{"SDL_AUDIODRIVER", "alsa"}, {"AUDIODEV", "hw:97"}}, {}, {"--quiet"});
    EXPECT_EQ(quiet.exitCode, 0) << quiet.err;
    EXPECT_EQ(quiet.out, "");
    EXPECT_EQ(quiet.err, run.err);
}

TEST_F(DemoTest, RendersTheShowToAVideoWithItsMusicAndRefusesABadCommandLine)
{
    WriteTestProduction(dir.path() / "production", ProductionOptions{});
    const ToolRun refused = RunTool(DEMO_EXECUTABLE, {"--size", "0x0", "production"});
    EXPECT_EQ(refused.exitCode, 2);
    EXPECT_TRUE(refused.out.empty());
    EXPECT_EQ(std::count(refused.err.begin(), refused.err.end(), '\n'), 1) << refused.err;

    // From another folder, without a display or a sound card.
    RunOptions noDevices;
    noDevices.environment = {{"SDL_AUDIODRIVER", "none"}};
    const ToolRun run =
        RunTool(DEMO_EXECUTABLE, {"--render", "show.mp4", "--size", "160x90", "--fps", "10", "production"}, noDevices);
    ASSERT_EQ(run.exitCode, 0) << run.err << Dump(run.Lines());
    EXPECT_NE(run.err.find("frame 21 of 21"), std::string::npos) << run.err;
    EXPECT_EQ(run.out, "");  // the log only with --verbose
    const MediaFacts facts = ProbeMedia((dir.path() / "show.mp4").string());
    ASSERT_TRUE(facts.error.empty()) << facts.error;
    EXPECT_EQ(std::pair(facts.video.width, facts.video.height), std::pair(160, 90));
    // Frames from the one at 0 s to the one at the exit, 2 s: 2.1 s of
    // picture, and of the music under it.
    EXPECT_EQ(facts.video.packets, 21);
    EXPECT_NEAR(facts.sound.seconds, 2.1, 0.05);
    const Sound sound = DecodeSound((dir.path() / "show.mp4").string());
    EXPECT_GT(Loudness(sound, 0.2, 1.8), 0.01);
    // The sound starts with frame 0, at the start of the music, whose pulse
    // of 2 Hz is loudest at 0.125 s and silent at 0.375 s.
    EXPECT_LT(Loudness(sound, 0.325, 0.425), 0.15 * Loudness(sound, 0.075, 0.175));

    // A render that cannot be made says why with the errors, and fails.
    const ToolRun late = RunTool(DEMO_EXECUTABLE, {"--render", "late.mp4", "--size", "160x90", "--fps", "10",
                                                   "--start", "5", "production"},
                                 noDevices);
    EXPECT_EQ(late.exitCode, 1);
    EXPECT_EQ(late.err, "Cannot render: the show ends before --start\n");
    EXPECT_FALSE(fs::exists(dir.path() / "late.mp4"));
}

TEST_F(DemoTest, ChecksAProductionWithoutOpeningAWindowOrSound)
{
    WriteTestProduction(dir.path(), ProductionOptions{});
    // Drivers that cannot open anything: the check must not need them.
    RunOptions options;
    options.environment = {{"SDL_VIDEODRIVER", "no-such-driver"}, {"SDL_AUDIODRIVER", "no-such-driver"}};
    options.directory = "/";
    const auto check = [&] { return RunTool(DEMO_EXECUTABLE, {"--check", dir.path().string()}, options); };
    const ToolRun clean = check();
    EXPECT_EQ(clean.exitCode, 0) << clean.out << clean.err;
    EXPECT_EQ(clean.Lines(), std::vector<std::string>{"no errors, no warnings"}) << clean.out;

    // A misspelled class, an exit after the end of the (four second) music
    // and a missing shader file.
    std::string scene = ReadFileText(dir.path() / "demofinal.xml");
    for (const auto& [from, to] : {std::pair<std::string, std::string>{"classname=\"Camera\"", "classname=\"Camra\""},
                                   {"<exit eventTime=\"2\"", "<exit eventTime=\"5\""}}) {
        ASSERT_NE(scene.find(from), std::string::npos) << from;
        scene.replace(scene.find(from), from.size(), to);
    }
    std::ofstream(dir.path() / "demofinal.xml") << scene;
    fs::remove(dir.path() / "lighting_shader.psh");
    const ToolRun seeded = check();
    EXPECT_EQ(seeded.exitCode, 1);
    // Named at their places; the check's rules have their own tests.
    const std::vector<std::string> lines = seeded.Lines();
    ASSERT_EQ(lines.size(), 6u) << seeded.out;
    EXPECT_EQ(lines[0], "demofinal.xml:21:13: error: unknown class 'Camra': no actor is made; did you mean 'Camera'?");
    EXPECT_EQ(lines[5], "5 errors, no warnings");

    // Where a GL context can be made, the shader files are compiled too; the
    // compiler's message comes at its line (its words are the driver's).
    std::ofstream(dir.path() / "lighting_shader.psh") << "#version 450 core\nvoid main() { oops }\n";
    options.environment["SDL_VIDEODRIVER"] = "offscreen";
    const ToolRun compiled = check();
    EXPECT_EQ(compiled.exitCode, 1);
    const std::vector<std::string> compiledLines = compiled.Lines();
    ASSERT_GE(compiledLines.size(), 2u) << compiled.out;
    EXPECT_EQ(compiledLines[compiledLines.size() - 2].rfind("lighting_shader.psh:2:", 0), 0u) << compiled.out;
}

// With no folder named, a copy of the player installed under some prefix
// checks the production installed beside it from any folder, and the one in
// the working directory when there is one.
TEST_F(DemoTest, WithoutAFolderNamedTheInstalledProductionIsUsedUnlessOneIsHere)
{
    const fs::path prefix = dir.path() / "moved" / "usr";
    fs::create_directories(prefix / "bin");
    fs::copy_file(DEMO_EXECUTABLE, prefix / "bin" / "demoplayer");
    WriteTestProduction(prefix / "share" / "demoplayer" / "production", ProductionOptions{});
    fs::create_directory(dir.path() / "elsewhere");
    RunOptions options;
    options.environment = {{"SDL_VIDEODRIVER", "no-such-driver"}, {"SDL_AUDIODRIVER", "no-such-driver"}};
    options.directory = dir.path() / "elsewhere";
    const ToolRun installed = RunTool((prefix / "bin" / "demoplayer").string(), {"--check"}, options);
    EXPECT_EQ(installed.exitCode, 0) << installed.out << installed.err;
    EXPECT_EQ(installed.Lines(), std::vector<std::string>{"no errors, no warnings"}) << installed.out;

    // A scene here, without the rest of a production, is the one checked.
    WriteFile(dir.path() / "elsewhere" / "demofinal.xml", std::string("<base><scene></scene></base>\n"));
    const ToolRun here = RunTool((prefix / "bin" / "demoplayer").string(), {"--check"}, options);
    EXPECT_EQ(here.exitCode, 1);
    EXPECT_EQ(here.out.rfind("demofinal.xml:", 0), 0u) << here.out;
}

// Every example of --help, run as written in a folder where build/production
// is a production (and the folder of the first example holds one): only a
// short end and a small size are added where an example gives none, so
// that each plays or renders half a second.
TEST_F(DemoTest, EveryExampleOfTheHelpRunsAsWritten)
{
    const fs::path production = dir.path() / "build" / "production";
    WriteTestProduction(production, {.musicSeconds = 72, .exitTime = 70.0f});
    const ToolRun help = RunTool(DEMO_EXECUTABLE, {"--help"});
    ASSERT_EQ(help.exitCode, 0);
    std::vector<std::vector<std::string>> examples;
    for (const std::string& line : help.Lines()) {
        if (line.rfind("  demoplayer", 0) != 0) {
            continue;
        }
        std::istringstream words(line.substr(0, line.find("  ", 2)));
        examples.emplace_back(std::istream_iterator<std::string>(words), std::istream_iterator<std::string>());
    }
    ASSERT_GE(examples.size(), 6u) << help.out;
    for (std::vector<std::string> example : examples) {
        std::string written;
        for (const std::string& word : example) {
            written += word + " ";
        }
        example.erase(example.begin());  // the program
        const auto gives = [&example](const char* option) {
            return std::find(example.begin(), example.end(), option) != example.end();
        };
        // An example that names no production plays the one in the folder it runs in.
        const bool namesProduction = gives("build/production");
        if (!gives("--check")) {
            const auto start = std::find(example.begin(), example.end(), "--start");
            const double from = start != example.end() ? std::stod(*(start + 1)) : 0.0;
            if (!gives("--end") && !gives("--frames")) {
                example.insert(example.begin(), {"--end", std::to_string(from + 0.5)});
            }
            if (!gives("--size")) {
                example.insert(example.begin(), {"--size", "160x90"});
            }
        }
        RunOptions options;
        options.directory = namesProduction ? dir.path() : production;
        options.environment = {{"SDL_VIDEODRIVER", "offscreen"}, {"SDL_AUDIODRIVER", "dummy"}};
        options.timeLimitSeconds = 300;
        const ToolRun run = RunTool(DEMO_EXECUTABLE, example, options);
        EXPECT_EQ(run.exitCode, 0) << written << run.err;
    }
    // What the rendering examples made.
    EXPECT_TRUE(fs::exists(dir.path() / "show.mp4"));
    EXPECT_TRUE(fs::exists(dir.path() / "frames" / "frame_00059.png"));
    EXPECT_EQ(ProbeMedia((dir.path() / "master.mkv").string()).video.packets, 60);
}

// The free camera in the real player on a real X screen, steered with the
// real mouse and keyboard: P hands the view to it where the scene camera
// had it, the mouse turns it and W moves it while the show plays, and the
// picture changes and fills the picture area: in a window, and in full
// screen on a screen of another shape than the picture.
TEST_F(DemoTest, TheFreeCameraTurnsAndMovesAndItsPictureFillsThePictureAreaInAWindowAndInFullScreen)
{
    WriteTestProduction(dir.path(), {.music = false});
    std::ofstream(dir.path() / "demofinal.xml") << kStillScene;
    WriteFile(dir.path() / "camera.sh",
              "echo \"DISPLAY=$DISPLAY XAUTHORITY=$XAUTHORITY\" > display.txt\nexec \"$DEMO\" \"$@\"\n");
    struct Case {
        std::string screen;
        std::vector<std::string> options;
        PictureArea area;
    };
    const Case cases[] = {
        {"640x480", {"--windowed"}, {0, 0, 320, 180}},
        {"800x600", {}, {0, 75, 800, 450}},  // 16:9 with bars above and below
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.screen);
        // Typed into the X server, and the screen read back, once each step's
        // condition holds: the scene camera's view standing still; the free
        // camera on; the picture turned; the picture moved.
        const fs::path shotPath = dir.path() / "shot.png";
        Picture shown, turned, moved;
        Picture last;
        int step = 0;
        // A command run on the test's X screen.
        const auto x = [this](const std::string& command) {
            const std::string display = ReadFileText(dir.path() / "display.txt");
            return std::system(("env " + display.substr(0, display.find('\n')) + " " + command + " > /dev/null 2>&1").c_str());
        };
        const auto shoot = [&] {
            x("import -window root " + shotPath.string());
            return Picture::Read(shotPath);
        };
        const auto changed = [](const Picture& a, const Picture& b) {
            return ComparePictures(a, b, 16).differingShare > 0.02;
        };
        const auto act = [&](const std::string& out) {
            switch (step) {
            case 0: {
                if (out.find("Triggering Event: activate") == std::string::npos) {
                    return false;
                }
                Picture now = shoot();
                const bool settled = now.width > 0 && last.width > 0 && !changed(now, last);
                last = std::move(now);
                if (settled && LeastLitQuarter(last, c.area) > 0.3) {
                    shown = last;
                    x("xdotool key p");
                    ++step;
                }
                return false;
            }
            case 1:
                if (out.find("Free camera on") != std::string::npos) {
                    x("xdotool mousemove " + std::to_string(c.area.x + c.area.width / 2 + 40) + " " +
                      std::to_string(c.area.y + c.area.height / 2 + 20));
                    ++step;
                }
                return false;
            case 2:
                turned = shoot();
                if (turned.width > 0 && changed(turned, shown)) {
                    // A picture that no longer fills the area is the end of it.
                    const bool fills = LeastLitQuarter(turned, c.area) > 0.3;
                    x(fills ? "xdotool keydown w" : "xdotool key Escape");
                    step = fills ? step + 1 : -1;
                }
                return false;
            case 3:
                moved = shoot();
                if (moved.width > 0 && changed(moved, turned)) {
                    x("xdotool keyup w key Escape");
                    ++step;
                }
                return false;
            default: return false;
            }
        };
        RunOptions options;
        options.directory = dir.path();
        options.environment = {{"DEMO", DEMO_EXECUTABLE}, {"SDL_VIDEODRIVER", "x11"}, {"SDL_AUDIODRIVER", "dummy"}};
        options.stopWhen = [&act](const std::string& out, const std::string&) { return act(out); };
        options.timeLimitSeconds = 240;
        std::vector<std::string> arguments = {"-a", "-s", "-screen 0 " + c.screen + "x24 -br", "/bin/sh", "camera.sh",
                                              "--fixed-step", "--fps", "60", "--size", "320x180"};
        arguments.insert(arguments.end(), c.options.begin(), c.options.end());
        const ToolRun run = RunTool("/usr/bin/xvfb-run", arguments, options);
        EXPECT_EQ(run.exitCode, 0) << run.err;
        // Turned and moved, the free camera's picture fills the picture area
        // as the scene camera's did; nothing shows around it.
        EXPECT_GT(LeastLitQuarter(turned, c.area), 0.3);
        ASSERT_EQ(step, 4) << run.out << run.err;
        EXPECT_GT(LeastLitQuarter(moved, c.area), 0.3);
        if (c.area.y > 0) {
            EXPECT_LT(LitShare(moved, 0, 0, c.area.width, c.area.y), 0.001);
            EXPECT_LT(LitShare(moved, 0, c.area.y + c.area.height, c.area.width, moved.height), 0.001);
        }
    }
}
