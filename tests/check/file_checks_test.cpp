// The checker's file checks on a production written by the test: models,
// textures and normal maps with one fault each, music that does not decode,
// a shader file missing and one empty.

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <sstream>

#include "check/file_checks.h"
#include "check/production_check.h"
#include "core/file_manager.h"
#include "tests/check/check_findings.h"
#include "tests/scene/scene_files.h"
#include "tests/support/test_support.h"

namespace {

// A bitmap of grey pixels whose header states `imageSize` pixel bytes.
std::vector<uint8_t> Bitmap(uint32_t width, uint32_t height, uint32_t imageSize = ~0u)
{
    return BitmapFile(width, height, std::vector<uint8_t>(width * height * 3, 0x80), imageSize);
}

const std::string kLongName(kMaxResourceNameLength + 1, 'm');

constexpr char kScene[] = R"(<base>
  <scene>
    <meshes> <short /> <four /> <nan /> <magic /> <gone /> <LONG /> </meshes>
    <materials> <odd /> <trunc /> <absent /> <small /> </materials>
    <objects /> <lights /> <actors /> <automations />
    <eventtrigger> <exit eventTime="1" /> </eventtrigger>
  </scene>
</base>
)";

}  // namespace

TEST(FileChecksTest, NamesEachFaultyFileAndWhy)
{
    ScopedWorkDir directory;
    std::string scene = kScene;
    scene.replace(scene.find("LONG"), 4, kLongName);
    WriteFile("demofinal.xml", scene);
    WriteFile("model/short.obj", MeshFile(6, kModelFileMagic, 3));
    WriteFile("model/four.obj", MeshFile(4));
    std::vector<uint8_t> notFinite = MeshFile(6);
    const float nan = NAN;
    std::memcpy(&notFinite[232], &nan, sizeof nan);  // vertex 4, float 0
    WriteFile("model/nan.obj", notFinite);
    WriteFile("model/magic.obj", MeshFile(3, 0x1338));
    WriteFile("tex/odd.bmp", Bitmap(10, 2));
    WriteFile("tex/trunc.bmp", Bitmap(4, 4, 4000));
    WriteFile("tex/small.bmp", Bitmap(4, 4));
    WriteFile("tex/small_normal.bmp", Bitmap(4, 2));
    WriteFile("13_3.ogg", std::string("not music at all"));
    for (const std::string& shader : ShaderFileNames()) {
        if (shader != "text_shader.psh") {
            WriteFile(shader, std::string(shader == "gshader.psh" ? "" : "void main() {}\n"));
        }
    }
    std::ostringstream printed;
    EXPECT_EQ(CheckProduction("demofinal.xml", "13_3.ogg", printed), 1);
    std::vector<std::string> lines = SplitLines(printed.str());
    ASSERT_FALSE(lines.empty());
    // The decoder's own words differ between FFmpeg versions.
    const auto music = lines.begin() + 3;
    ASSERT_EQ(music->rfind("13_3.ogg: error: the music cannot be decoded: ", 0), 0u) << *music;
    lines.erase(music);
    const std::vector<std::string> expected = {
        "demofinal.xml:3:51: error: mesh file 'model/gone.obj' cannot be read: no such file",
        "demofinal.xml:3:60: error: mesh name '" + kLongName + "' is longer than " +
            std::to_string(kMaxResourceNameLength) + " characters: its file is not opened",
        "demofinal.xml:4:35: error: texture file 'tex/absent.bmp' cannot be read: no such file",
        "model/short.obj: error: 6 vertices need 344 bytes, the file holds 176: the mesh is refused",
        "model/four.obj: error: 4 vertices is not a multiple of 3: the last triangle is incomplete",
        "model/nan.obj: error: 1 vertices hold a value that is not finite, the first vertex 4 (byte 232)",
        "model/magic.obj: error: its magic number is 4920, not 4919 (0x1337): the mesh is refused",
        "tex/odd.bmp: error: width 10 gives rows of 30 bytes, not a multiple of 4: the row padding is read as pixels "
        "and the picture is skewed",
        "tex/trunc.bmp: error: the loader refuses it: image size 4000 is more than the 48 pixel bytes in the file",
        "tex/small_normal.bmp: error: the normal map is 4x2, smaller than its texture (4x4): a flat normal map is "
        "used instead",
        "gshader.psh: error: the shader file is empty",
        "text_shader.psh: error: the shader file cannot be read: no such file",
        "13 errors, no warnings",
    };
    EXPECT_EQ(lines, expected);
}

// The findings of a scene file changed while watching are seen in the
// live-editing run (WatchTest); one that cannot be read is said so.
TEST(FileChecksTest, ChecksOneSceneFile)
{
    ScopedWorkDir directory;
    std::ostringstream missing;
    CheckSceneFile("none.xml", std::nullopt).Print(missing);
    EXPECT_EQ(missing.str(), "none.xml: error: the scene cannot be read: no such file\n1 error, no warnings\n");
}

// A shader file added to the renderer but not to the checker's list would
// go unchecked.
TEST(FileChecksTest, KnowsEveryShaderFileTheRendererCompiles)
{
    std::vector<std::string> files;
    for (const auto& entry : std::filesystem::directory_iterator(DEMO_SHADER_DIR)) {
        files.push_back(entry.path().filename().string());
    }
    std::vector<std::string> known = ShaderFileNames();
    std::sort(files.begin(), files.end());
    std::sort(known.begin(), known.end());
    EXPECT_EQ(known, files);
}
