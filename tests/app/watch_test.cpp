// The watch keys, jumps and reloads run end to end with the real renderer
// (WatchKeysRunTest, WatchTest); here what a run does not reach: a jump back
// past the start, the files live editing passes over, and each changed file
// reaching its reload on the null renderer, with what is wrong on the
// console lines until it is mended.

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <functional>
#include <thread>

#include "app/live_edit.h"
#include "app/watch_keys.h"
#include "core/file_manager.h"
#include "render/null_renderer.h"
#include "scene/material_loader.h"
#include "scene/mesh_loader.h"
#include "tests/scene/scene_files.h"
#include "tests/support/test_support.h"
#include "world/world.h"

TEST(WatchKeysTest, BackJumpsStopAtTimeZero)
{
    EXPECT_DOUBLE_EQ(WatchJumpTarget(WatchKey::kBack, 3, 0), 0.0);
}

TEST(LiveEditTest, ChangedPathsAreTheSceneShadersTexturesAndMeshesOfTheProduction)
{
    const auto kind = [](const std::string& path) { return ClassifyChangedFile(path, "demofinal.xml").kind; };
    EXPECT_EQ(kind("mesh_shader.vsh"), ChangedFileKind::kShader);
    EXPECT_EQ(ClassifyChangedFile("tex/metal_normal.bmp", "demofinal.xml").name, "metal_normal");
    EXPECT_EQ(ClassifyChangedFile("model/knot.obj", "demofinal.xml").name, "knot");
    for (const char* other : {"other.xml", "13_3.ogg", "tex/.metal.bmp.swp", "tex/metal.bmp~", "tex/sub/a.bmp",
                              "model/knot.obj.tmp", "tex/a.obj", "model/.obj", "sub/gshader.psh"}) {
        EXPECT_EQ(kind(other), ChangedFileKind::kIgnored) << other;
    }
}

namespace {

// Applies the changes until the condition holds; false when it does not
// within a generous while (inotify reports at once, a loaded machine may not
// run the test at once).
bool ApplyUntil(LiveEdit& edit, ShowRenderer& renderer, const std::function<bool()>& done)
{
    const auto giveUp = std::chrono::steady_clock::now() + std::chrono::seconds(30);
    while (std::chrono::steady_clock::now() < giveUp) {
        edit.ApplyChanges(renderer);
        if (done()) {
            return true;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    return false;
}

std::vector<std::string> ConsoleLines(const NullRenderer& renderer, unsigned count)
{
    std::vector<std::string> lines;
    for (unsigned i = 0; i < count; ++i) {
        lines.push_back(renderer.ConsoleLine(i));
    }
    return lines;
}

const char kScene[] = "<base>\n <scene>\n </scene>\n</base>\n";

}  // namespace

TEST(LiveEditTest, EachChangedFileReachesItsReloadAndWhatIsWrongShowsOnTheConsoleUntilMended)
{
    ScopedWorkDir dir;
    StdoutCapture log;
    StderrCapture problems;
    TheFileManager().AddSearchPath("tex/", "bmp", kResourceTexture);
    TheFileManager().AddSearchPath("model/", "obj", kResourceModel);
    NullRenderer renderer;
    renderer.SetPictureSize(640, 64);  // four console lines
    SetRenderer(&renderer);
    WriteFile("model/editRock.obj", MeshFile(3));
    WriteFile("tex/editStone.bmp", BitmapFile(1, 1, {1, 2, 3, 0}));
    WriteFile("demofinal.xml", std::string(kScene));
    ASSERT_NE(LoadMesh("editRock"), nullptr);
    ASSERT_NE(LoadMaterial("editStone"), nullptr);
    ShowState show;
    LiveEdit edit(show, "demofinal.xml", std::nullopt);

    // A texture, its normal map and a mesh reach their material and mesh.
    WriteFile("model/editRock.obj", MeshFile(6));
    WriteFile("tex/editStone_normal.bmp", BitmapFile(1, 1, {127, 127, 255, 0}));
    WriteFile("tex/unknownStone.bmp", BitmapFile(1, 1, {1, 2, 3, 0}));  // no such material
    ASSERT_TRUE(ApplyUntil(edit, renderer, [&] { return !renderer.ReloadedMeshes().empty(); }));
    ASSERT_TRUE(ApplyUntil(edit, renderer, [&] { return !renderer.ReloadedMaterials().empty(); }));
    EXPECT_EQ(renderer.ReloadedMeshes(), std::vector<std::string>{"editRock"});
    EXPECT_EQ(renderer.ReloadedMaterials(), std::vector<std::string>{"editStone"});
    EXPECT_EQ(FindMesh("editRock")->vertexCount, 6u);

    // A shader that does not compile has the compiler's text on the console,
    // a line for each of its lines, until it compiles again.
    renderer.FailShader("edit.psh", "0:3(1): error: no such type\n0:4(1): error: and more");
    WriteFile("edit.psh", std::string("broken"));
    ASSERT_TRUE(ApplyUntil(edit, renderer, [&] { return !renderer.ConsoleLine(0).empty(); }));
    EXPECT_EQ(renderer.RecompiledShaders(), std::vector<std::string>{"edit.psh"});
    EXPECT_EQ(ConsoleLines(renderer, 4),
              (std::vector<std::string>{"0:3(1): error: no such type", "0:4(1): error: and more", "", ""}));

    // A scene with an error keeps what runs and shows its first error too;
    // each file's text stays until that file is mended.
    WriteFile("demofinal.xml", std::string("<base>\n <scene>\n"));
    ASSERT_TRUE(ApplyUntil(edit, renderer, [&] { return renderer.ConsoleLine(0).starts_with("demofinal.xml"); }));
    const auto shown = [&](const std::string& line) {
        const std::vector<std::string> lines = ConsoleLines(renderer, 4);
        return std::find(lines.begin(), lines.end(), line) != lines.end();
    };
    EXPECT_TRUE(shown("0:3(1): error: no such type"));

    renderer.FailShader("edit.psh", "");
    WriteFile("edit.psh", std::string("mended"));
    ASSERT_TRUE(ApplyUntil(edit, renderer, [&] { return renderer.RecompiledShaders().size() == 2; }));
    EXPECT_FALSE(shown("0:3(1): error: no such type"));
    EXPECT_FALSE(shown("0:4(1): error: and more"));
    EXPECT_TRUE(renderer.ConsoleLine(0).starts_with("demofinal.xml")) << renderer.ConsoleLine(0);

    WriteFile("demofinal.xml", std::string(kScene));
    ASSERT_TRUE(ApplyUntil(edit, renderer, [&] { return renderer.ConsoleLine(0).empty(); }));
    EXPECT_EQ(ConsoleLines(renderer, 4), (std::vector<std::string>{"", "", "", ""}));
    SetRenderer(nullptr);
    const std::string said = log.Text();
    EXPECT_NE(said.find("Reloaded mesh editRock at show time"), std::string::npos) << said;
    EXPECT_NE(said.find("Reloaded demofinal.xml at show time"), std::string::npos) << said;
}
