// The real demo executable, headless: offscreen video, audio written to a
// file, run in a directory holding a small production.

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <fstream>
#include <regex>

#include "tests/e2e/test_production.h"
#include "tests/support/test_support.h"
#include "tests/tools/tool_process.h"

namespace fs = std::filesystem;

namespace {

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
        if (line.rfind("XMLTag", 0) != 0) {
            text += line + "\n";
        }
    }
    return text;
}

class DemoTest : public testing::Test {
protected:
    fs::path Audio() const { return dir.path() / "audio.raw"; }

    // Plays the production in the test's directory; its standard output.
    std::vector<std::string> Play(std::function<bool(const std::string&)> stopWhen = {})
    {
        RunOptions options;
        options.environment = {{"SDL_VIDEODRIVER", "offscreen"},
                               {"SDL_AUDIODRIVER", "disk"},
                               {"SDL_DISKAUDIOFILE", Audio().string()}};
        options.stopWhen = std::move(stopWhen);
        const ToolRun run = RunTool(DEMO_EXECUTABLE, {"--ignored", "arguments"}, options);
        EXPECT_EQ(run.exitCode, 0) << Dump(run.Lines());
        return run.Lines();
    }

    ScopedWorkDir dir;
};

}  // namespace

TEST_F(DemoTest, PlaysTheProductionWithoutMusicToItsExitEvent)
{
    ProductionOptions options;
    options.music = false;
    WriteTestProduction(dir.path(), options);
    const std::vector<std::string> lines = Play();
    // Start-up, loading, the timed events on the demo clock, shutdown: in this order.
    size_t at = 0;
    for (const char* pattern : {
             "ri ctor", "Adapter 0: .*", "scaleX = 0\\.803333 scaleY = 1\\.42815", "Cannot load music",
             "created vbuffer for 36 vertices",
             "material checker width: 64 height: 64 channel: 3 size12288 dataptr: [0-9a-f]+",
             "Cannot open file: tex/plain_normal.bmp", "Light: lamp1 Position: \\{ 2 , 2 , 2 \\}", "loading actors",
             "ObjectPulsator::AddEntity: Adding mesh box2 to shatter", "loading automations", "loading event trigger",
             "Cannot start audio stream[0-9]+", "Triggering Event: activate 0\\.5", "Triggering Event: destroy 0\\.8",
             "Triggering Event: restore 1\\.2", "Triggering Event: activate 1\\.5", "reg text inst 0",
             "Triggering Event: exit 2", "d3dx9 destroy [0-9a-f]+", "ri dtor"}) {
        at = Find(lines, pattern, at);
        ASSERT_LT(at, lines.size()) << pattern << "\n" << Dump(lines);
    }
}

TEST_F(DemoTest, WithoutASceneTheMusicPlaysAndSigtermEndsItCleanly)
{
    WriteTestProduction(dir.path(), ProductionOptions{});
    fs::remove(dir.path() / "demofinal.xml");
    // Stopped once the music is heard in the audio written.
    const std::vector<std::string> lines = Play([this](const std::string&) { return PeakSample(Audio()) > 1000; });
    EXPECT_EQ(Find(lines, "Cannot .* music|Cannot start audio stream.*"), lines.size());
    EXPECT_EQ(Find(lines, "Triggering Event: .*"), lines.size());
    EXPECT_LT(Find(lines, "ri dtor"), lines.size());
}

TEST_F(DemoTest, SigtermDuringALongLoadStopsAtTheNextItem)
{
    ProductionOptions options;
    options.heavyMeshes = 400;
    WriteTestProduction(dir.path(), options);
    const std::string heavy = "created vbuffer for 38400 vertices";
    const std::vector<std::string> lines =
        Play([&heavy](const std::string& out) { return out.find(heavy) != std::string::npos; });
    // The item being loaded is finished, the frame in progress completes and
    // everything shuts down, well before the end of the list.
    EXPECT_LT(std::count(lines.begin(), lines.end(), heavy), 300);
    EXPECT_EQ(Find(lines, "loading actors"), lines.size());
    EXPECT_LT(Find(lines, "d3dx9 destroy [0-9a-f]+"), lines.size());
}

TEST_F(DemoTest, ABrokenShaderStopsStartUp)
{
    WriteTestProduction(dir.path(), ProductionOptions{});
    std::ofstream(dir.path() / "lighting_shader.psh") << "#version 450 core\nvoid main() { oops }\n";
    const std::vector<std::string> lines = Play();
    ASSERT_LT(Find(lines, "add vport failed -1"), lines.size()) << Dump(lines);
    // Nothing after it: no music, no loading.
    EXPECT_EQ(Find(lines, "Cannot load music"), lines.size());
    EXPECT_EQ(Find(lines, "created vbuffer.*"), lines.size());
}
