// The real demo executable, headless: offscreen video, audio written to a
// file, run in a directory holding a small production.

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <fstream>
#include <regex>

#include "tests/e2e/demo_process.h"
#include "tests/e2e/test_production.h"
#include "tests/support/test_support.h"

namespace fs = std::filesystem;

namespace {

DemoRunOptions Headless(const fs::path& audioFile)
{
    DemoRunOptions options;
    options.environment = {{"SDL_VIDEODRIVER", "offscreen"},
                           {"SDL_AUDIODRIVER", "disk"},
                           {"SDL_DISKAUDIOFILE", audioFile.string()}};
    return options;
}

// Index of the first line matching, from `from` on; lines.size() when none.
size_t Find(const std::vector<std::string>& lines, const std::string& pattern, size_t from = 0)
{
    const std::regex expression(pattern);
    for (size_t i = from; i < lines.size(); ++i) {
        if (std::regex_match(lines[i], expression)) {
            return i;
        }
    }
    return lines.size();
}

// Peak of 16-bit little-endian samples in the disk driver's output.
int PeakSample(const fs::path& path)
{
    std::ifstream in(path, std::ios::binary);
    int peak = 0;
    int16_t sample = 0;
    while (in.read(reinterpret_cast<char*>(&sample), sizeof sample)) {
        peak = std::max(peak, std::abs(static_cast<int>(sample)));
    }
    return peak;
}

class DemoTest : public testing::Test {
protected:
    fs::path Audio() const { return dir.path() / "audio.raw"; }
    ScopedWorkDir dir;
};

std::string Dump(const std::vector<std::string>& lines)
{
    std::string text;
    for (const std::string& line : lines) {
        if (line.rfind("XMLTag", 0) != 0) {
            text += line + "\n";
        }
    }
    return text;
}

}  // namespace

TEST_F(DemoTest, PlaysTheProductionToItsExitEventWithMusic)
{
    WriteTestProduction(dir.path(), ProductionOptions{});
    const DemoRun run = RunDemo(dir.path(), Headless(Audio()));
    ASSERT_EQ(run.exitCode, 0) << Dump(run.lines);
    const auto& lines = run.lines;
    // Start-up, loading, the timed events, shutdown: in this order.
    const size_t ctor = Find(lines, "ri ctor");
    const size_t adapter = Find(lines, "Adapter 0: .*", ctor);
    const size_t scale = Find(lines, "scaleX = 0\\.803333 scaleY = 1\\.42815", adapter);
    const size_t vbuffer = Find(lines, "created vbuffer for 36 vertices", scale);
    const size_t material = Find(lines, "material checker width: 64 height: 64 channel: 3 size12288 dataptr: [0-9a-f]+", vbuffer);
    const size_t noNormal = Find(lines, "Cannot open file: tex/plain_normal.bmp", material);
    const size_t light = Find(lines, "Light: lamp1 Position: \\{ 2 , 2 , 2 \\}", noNormal);
    const size_t actors = Find(lines, "loading actors", light);
    const size_t pulsator = Find(lines, "ObjectPulsator::AddEntity: Adding mesh box2 to shatter", actors);
    const size_t automations = Find(lines, "loading automations", pulsator);
    const size_t triggers = Find(lines, "loading event trigger", automations);
    const size_t activate = Find(lines, "Triggering Event: activate 0\\.5", triggers);
    const size_t destroy = Find(lines, "Triggering Event: destroy 0\\.8", activate);
    const size_t restore = Find(lines, "Triggering Event: restore 1\\.2", destroy);
    const size_t credits = Find(lines, "Triggering Event: activate 1\\.5", restore);
    const size_t registered = Find(lines, "reg text inst 0", credits);
    const size_t exit = Find(lines, "Triggering Event: exit 2", registered);
    const size_t destroyed = Find(lines, "d3dx9 destroy [0-9a-f]+", exit);
    const size_t dtor = Find(lines, "ri dtor", destroyed);
    EXPECT_LT(dtor, lines.size()) << Dump(lines);
    EXPECT_EQ(Find(lines, "Cannot .* music|Cannot start audio stream.*"), lines.size());

    // The music really played: the audio written holds more than silence.
    EXPECT_GT(PeakSample(Audio()), 1000);
}

TEST_F(DemoTest, WithoutMusicTheDemoStillRunsToItsExit)
{
    ProductionOptions options;
    options.music = false;
    WriteTestProduction(dir.path(), options);
    const DemoRun run = RunDemo(dir.path(), Headless(Audio()));
    ASSERT_EQ(run.exitCode, 0) << Dump(run.lines);
    const size_t cannotLoad = Find(run.lines, "Cannot load music");
    const size_t cannotStart = Find(run.lines, "Cannot start audio stream[0-9]+", cannotLoad);
    const size_t exit = Find(run.lines, "Triggering Event: exit 2", cannotStart);
    EXPECT_LT(exit, run.lines.size()) << Dump(run.lines);
}

TEST_F(DemoTest, WithoutASceneTheMusicStartsAndSigtermEndsItCleanly)
{
    WriteTestProduction(dir.path(), ProductionOptions{});
    fs::remove(dir.path() / "demofinal.xml");
    DemoRunOptions options = Headless(Audio());
    options.signalAfter = std::chrono::milliseconds(2500);
    const DemoRun run = RunDemo(dir.path(), options);
    EXPECT_EQ(run.exitCode, 0) << Dump(run.lines);
    EXPECT_LT(run.seconds - run.signalSentAt, 1.0);
    EXPECT_EQ(Find(run.lines, "Triggering Event: .*"), run.lines.size());
    EXPECT_LT(Find(run.lines, "ri dtor"), run.lines.size());
    EXPECT_GT(PeakSample(Audio()), 1000);  // the music started all the same
}

TEST_F(DemoTest, SigtermDuringALongLoadStopsAtTheNextItem)
{
    ProductionOptions options;
    options.heavyMeshes = 400;
    WriteTestProduction(dir.path(), options);
    DemoRunOptions runOptions = Headless(Audio());
    runOptions.signalAfterLine = "created vbuffer for 38400 vertices";
    const DemoRun run = RunDemo(dir.path(), runOptions);
    EXPECT_EQ(run.exitCode, 0) << Dump(run.lines);
    // The item being loaded is finished, the frame in progress completes and
    // everything shuts down: all well within a second on an idle machine,
    // with room here for a busy one.
    EXPECT_LT(run.seconds - run.signalSentAt, 1.5);
    const auto loaded = std::count(run.lines.begin(), run.lines.end(), "created vbuffer for 38400 vertices");
    EXPECT_LT(loaded, 300);  // stopped well before the end of the list
    EXPECT_EQ(Find(run.lines, "loading actors"), run.lines.size());
    EXPECT_LT(Find(run.lines, "d3dx9 destroy [0-9a-f]+"), run.lines.size());
}

TEST_F(DemoTest, ABrokenShaderStopsStartUp)
{
    WriteTestProduction(dir.path(), ProductionOptions{});
    std::ofstream(dir.path() / "lighting_shader.psh") << "#version 450 core\nvoid main() { oops }\n";
    const DemoRun run = RunDemo(dir.path(), Headless(Audio()));
    EXPECT_EQ(run.exitCode, 0);
    const size_t failed = Find(run.lines, "add vport failed -1");
    ASSERT_LT(failed, run.lines.size()) << Dump(run.lines);
    // Nothing after it: no music, no loading.
    EXPECT_EQ(Find(run.lines, "Cannot load music"), run.lines.size());
    EXPECT_EQ(Find(run.lines, "created vbuffer.*"), run.lines.size());
    EXPECT_LT(run.seconds, 10.0);
}
