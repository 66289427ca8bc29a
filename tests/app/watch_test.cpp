// The watch keys, jumps and reloads run end to end (WatchKeysRunTest,
// WatchTest); here what a run does not reach: a jump back past the start,
// and the files live editing passes over.

#include <gtest/gtest.h>

#include "app/live_edit.h"
#include "app/watch_keys.h"

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
