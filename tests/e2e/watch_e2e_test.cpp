// Live editing in the real demo executable: a run with --watch that also
// renders every frame to numbered PNG files on the fixed-step clock, so the
// test sees exactly which frames were drawn before and after each change.
// Each change is logged with the show time at which it took effect; on
// fixed steps that time names the first frame drawn with it.

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <fstream>
#include <regex>

#include "tests/e2e/test_production.h"
#include "tests/golden/picture_diff.h"
#include "tests/support/test_support.h"
#include "tests/tools/tool_process.h"

namespace fs = std::filesystem;

namespace {

constexpr int kFps = 10;
constexpr int kThreshold = 16;

// A scene that stands still: every frame is the same until a file changes.
// Its edited version (camera elsewhere) has one more event, in the past
// once it is read.
std::string StillScene(float cameraX)
{
    const std::string edited = cameraX != 0.0f ? R"(<restore eventTime="0.3" />)" : "";
    std::ostringstream xml;
    xml << R"(<?xml version="1.0"?>
<base>
  <scene>
    <meshes> <cube /> </meshes>
    <materials> <checker /> <plain /> </materials>
    <objects>
      <box1> <Position x="0" y="0" z="4" /> <Scale x="1.5" y="1.5" z="1.5" /> <Mesh name="cube" /> <Material name="checker" /> </box1>
      <floor> <Position x="0" y="-1.5" z="5" /> <Scale x="10" y="0.2" z="10" /> <Mesh name="cube" /> <Material name="plain" /> </floor>
    </objects>
    <lights>
      <lamp1> <Color x="1" y="0.9" z="0.8" /> <Position x="2" y="2" z="2" /> <Cutoff x="12" /> </lamp1>
    </lights>
    <actors> <cam1 classname="Camera"> <Position x="0" y="0" z="0" /> </cam1> </actors>
    <automations>
      <cam1::Position> <key t="0" x=")"
        << cameraX << R"(" y="0" z="0" /> <key t="300" x=")" << cameraX << R"(" y="0" z="0" /> </cam1::Position>
    </automations>
    <eventtrigger> <activate eventTime="0.05" target="cam1" /> )"
        << edited << R"( <exit eventTime="300" /> </eventtrigger>
  </scene>
</base>
)";
    return xml.str();
}

// The show time in the n-th line "PREFIX at show time T s", as the number of
// the first PNG file drawn after the change (file k shows the time k/fps, and
// a change takes effect at the start of the frame after the time logged); -1
// while there is none.
int FrameAfter(const std::string& text, const std::string& prefix, int nth = 1)
{
    const std::regex line(prefix + " at show time ([0-9.e+-]+) s");
    int seen = 0;
    for (auto it = std::sregex_iterator(text.begin(), text.end(), line); it != std::sregex_iterator(); ++it) {
        if (++seen == nth) {
            return static_cast<int>(std::lround(std::stod((*it)[1].str()) * kFps)) + 1;
        }
    }
    return -1;
}

// A scene file saved broken: a section left open, which the scene reader
// would read as one that takes the rest of the scene in.
std::string Broken(std::string scene)
{
    scene.erase(scene.find("</automations>"), std::string("</automations>").size());
    return scene;
}

// The top third of a 320 x 180 frame: room for a long message on the
// console lines, which keep a legible size at any picture size.
constexpr int kMessageRows = 60;

// Pixels of the yellow console text in the top third of a 320 x 180 frame.
int MessagePixels(const Picture& picture)
{
    int yellow = 0;
    for (size_t i = 0; i + 2 < picture.rgb.size() && i < size_t{320} * 3 * kMessageRows; i += 3) {
        yellow += picture.rgb[i] > 160 && picture.rgb[i + 1] > 160 && picture.rgb[i + 2] < 90;
    }
    return yellow;
}

// Saves a file the way many editors do: a temporary file renamed over it.
void SaveByRename(const fs::path& path, const std::string& text)
{
    const fs::path temporary = path.parent_path() / ("." + path.filename().string() + ".tmp");
    std::ofstream(temporary, std::ios::binary) << text;
    fs::rename(temporary, path);
}

class WatchTest : public testing::Test {
protected:
    fs::path Frame(int number) const { return dir.path() / "frames" / (std::to_string(number) + ".png"); }
    Picture Read(int number) const { return Picture::Read(Frame(number)); }
    double Changed(int a, int b) const { return ComparePictures(Read(a), Read(b), kThreshold).differingShare; }

    ScopedWorkDir dir;
};

}  // namespace

TEST_F(WatchTest, ChangedSceneTextureAndShaderFilesShowInTheNextFramesAndBrokenFilesKeepTheShowGoing)
{
    WriteTestProduction(dir.path(), ProductionOptions{.music = false});
    std::ofstream(dir.path() / "demofinal.xml") << StillScene(0.0f);
    fs::create_directory(dir.path() / "frames");
    const std::string redComposition = "#version 450 core\nlayout(location = 0) out vec4 outColour;\n"
                                       "void main() { outColour = vec4(1.0, 0.0, 0.0, 1.0); }\n";

    // One change at a time, each once the frames have settled after the
    // previous one (the camera follows its parameters a frame late). The
    // line that says a change took effect, in the log or with the errors.
    constexpr int kSettle = 3;
    struct Said {
        const char* line;
        bool error;
        int nth;
    };
    const Said shown[] = {{"Reloaded demofinal.xml", false, 1},
                          {"Kept the automations and events of demofinal.xml as they were", true, 1},
                          {"Reloaded demofinal.xml", false, 2},
                          {"Kept material checker as it was", true, 1},
                          {"Reloaded material checker", false, 1},
                          {"Reloaded mesh cube", false, 1},
                          {"Shader lighting_shader.psh does not compile", true, 1},
                          {"Reloaded deffered_shader.psh", false, 1}};
    const auto frameAfter = [&shown](const std::string& out, const std::string& err, int stage) {
        const Said& said = shown[stage];
        return FrameAfter(said.error ? err : out, said.line, said.nth);
    };
    const std::string plainTexture = ReadFileText(dir.path() / "tex/plain.bmp");
    const fs::path sphere = dir.path() / "sphere.obj";
    ASSERT_EQ(RunTool(MESHGEN, {"sphere", sphere.string()}).exitCode, 0);
    int stage = 0;
    const auto edit = [&](const std::string& out, const std::string& err) {
        const int previous = stage == 0 ? 0 : frameAfter(out, err, stage - 1);
        if (previous < 0 || !fs::exists(Frame(previous + kSettle))) {
            return false;
        }
        switch (stage++) {
        case 0: std::ofstream(dir.path() / "demofinal.xml") << StillScene(1.0f); break;  // in place
        case 1: SaveByRename(dir.path() / "demofinal.xml", Broken(StillScene(2.0f))); break;
        case 2: SaveByRename(dir.path() / "demofinal.xml", StillScene(2.0f)); break;  // mended
        case 3: SaveByRename(dir.path() / "tex/checker.bmp", plainTexture.substr(0, 80)); break;  // cut short
        case 4: SaveByRename(dir.path() / "tex/checker.bmp", plainTexture); break;
        case 5: fs::rename(sphere, dir.path() / "model/cube.obj"); break;
        case 6: SaveByRename(dir.path() / "lighting_shader.psh", "#version 450 core\nvoid main() { oops }\n"); break;
        case 7: SaveByRename(dir.path() / "deffered_shader.psh", redComposition); break;
        default: return true;
        }
        return false;
    };
    RunOptions options;
    options.directory = dir.path();
    options.environment = {{"SDL_VIDEODRIVER", "offscreen"}, {"SDL_AUDIODRIVER", "dummy"}};
    options.stopWhen = edit;
    options.timeLimitSeconds = 200;  // a loaded machine may take a second a frame
    const ToolRun run = RunTool(DEMO_EXECUTABLE,
                                {"--watch", "--verbose", "--render", "frames/%d.png", "--size", "320x180", "--fps",
                                 std::to_string(kFps)},
                                options);
    // Stopped by SIGTERM once every change was seen: the frames written are
    // complete, and the exit code says what ended it.
    ASSERT_EQ(run.exitCode, 143) << run.out << run.err;
    ASSERT_EQ(stage, 9) << run.out << run.err;
    const auto at = [&run, &frameAfter](int stage) { return frameAfter(run.out, run.err, stage); };

    // The camera key moved the camera: the picture changes once the new
    // scene file took effect, not before. Events already past when it did
    // do not fire, neither the old one nor the one added.
    const int moved = at(0);
    ASSERT_GE(moved, kSettle) << run.out;
    EXPECT_EQ(Changed(1, moved - 1), 0.0);
    EXPECT_GT(Changed(moved - 1, moved + kSettle - 1), 0.05);
    const std::vector<std::string> lines = run.Lines();
    EXPECT_EQ(std::count(lines.begin(), lines.end(), "Triggering Event: activate 0.05"), 1);
    EXPECT_EQ(std::count(lines.begin(), lines.end(), "Triggering Event: restore 0.3"), 0);
    // The changed scene file was checked, and what is amiss in it said.
    EXPECT_NE(run.err.find(": warning: no actor of the scene reacts to 'restore': the trigger does nothing\n"
                           "no errors, 1 warning\n"),
              std::string::npos)
        << run.err;
    // Saved broken, it is refused with its errors: the camera stays where
    // the tracks that run put it, and the first error shows in the top-left
    // corner, nowhere else, until the file is mended; then it applies.
    const int broken = at(1);
    EXPECT_TRUE(std::regex_search(
        run.err, std::regex("demofinal.xml:[0-9]+:[0-9]+: error: section 'eventtrigger' stands inside 'automations'")))
        << run.err;
    const Picture beforeBroken = Read(broken - 1);
    const Picture whileBroken = Read(broken + kSettle - 1);
    ASSERT_EQ(beforeBroken.rgb.size(), whileBroken.rgb.size());
    const size_t topRows = size_t{320} * 3 * kMessageRows;
    EXPECT_TRUE(std::equal(beforeBroken.rgb.begin() + topRows, beforeBroken.rgb.end(), whileBroken.rgb.begin() + topRows));
    EXPECT_GT(MessagePixels(whileBroken), 5 * MessagePixels(beforeBroken) + 20);
    const int mended = at(2);
    EXPECT_GT(Changed(mended - 1, mended + kSettle - 1), 0.05);
    EXPECT_LT(MessagePixels(Read(mended + kSettle - 1)), MessagePixels(whileBroken) / 5);
    // A texture cut short is refused and the old one stays.
    const int kept = at(3);
    EXPECT_EQ(Changed(mended + kSettle - 1, kept + kSettle - 1), 0.0);
    // The texture, then the mesh, changed on the box.
    const int retextured = at(4);
    EXPECT_GT(Changed(retextured - 1, retextured), 0.02);
    const int reshaped = at(5);
    EXPECT_GT(Changed(reshaped - 1, reshaped), 0.05);
    // A shader that does not compile: the show goes on with the old one, and
    // the compiler's message shows in the top-left corner, nowhere else.
    const int failed = at(6);
    const Picture before = Read(failed - 1);
    const Picture after = Read(failed + kSettle - 1);
    ASSERT_EQ(before.rgb.size(), after.rgb.size());
    EXPECT_FALSE(std::equal(before.rgb.begin(), before.rgb.begin() + topRows, after.rgb.begin()));
    EXPECT_TRUE(std::equal(before.rgb.begin() + topRows, before.rgb.end(), after.rgb.begin() + topRows));
    // A new composition shader: the picture is red from its frame on.
    const int red = at(7);
    const Picture redFrame = Read(red);
    const size_t centre = (size_t{90} * 320 + 160) * 3;
    EXPECT_EQ((std::vector<uint8_t>(redFrame.rgb.begin() + centre, redFrame.rgb.begin() + centre + 3)),
              (std::vector<uint8_t>{255, 0, 0}));
}
