#include "scene/mesh_loader.h"
#include "tests/scene/scene_files.h"
#include "tests/scene/scene_fixture.h"

namespace {

using MeshLoaderTest = SceneFixture;

}  // namespace

TEST_F(MeshLoaderTest, MalformedFilesAreRefusedWithoutReadingPastTheirEndAndASecondLoadComesFromTheCache)
{
    std::vector<uint8_t> tiny = MeshFile(1);
    tiny.resize(7);
    const std::vector<std::pair<std::string, std::vector<uint8_t>>> files = {
        {"badmagic", MeshFile(3, 0x1338)},
        {"tiny", tiny},
        {"empty", {}},
        {"short", MeshFile(3, kModelFileMagic, 2)},
        // 56 x this count overflows 32 bits to a small number.
        {"overflow", MeshFile(0x4924925u, kModelFileMagic, 1)},
        {"huge", MeshFile(0xFFFFFFFFu, kModelFileMagic, 0)},
    };
    const size_t meshesBefore = TheWorld().MeshCount();
    for (const auto& [name, bytes] : files) {
        WriteFile("model/" + name + ".obj", bytes);
        StdoutCapture capture;
        EXPECT_EQ(LoadMesh(name), nullptr) << name;
        EXPECT_EQ(capture.Lines(), std::vector<std::string>{"Creating Mesh failure"}) << name;
    }
    EXPECT_EQ(TheWorld().MeshCount(), meshesBefore);
    EXPECT_TRUE(renderer.calls.empty());

    // A mesh of no vertices is a mesh; bytes after the last record are ignored.
    WriteFile("model/nothing.obj", MeshFile(0));
    std::vector<uint8_t> trailing = MeshFile(1);
    trailing.push_back(0xAB);
    WriteFile("model/trailing.obj", trailing);
    for (const char* name : {"nothing", "trailing"}) {
        ASSERT_NE(LoadMesh(name), nullptr) << name;
        EXPECT_EQ(FindMesh(name)->vertexCount, name[0] == 't' ? 1u : 0u);
    }
    EXPECT_EQ(renderer.CountCalls("CreateMesh"), 2);

    // The second load of a name is served from the cache.
    WriteFile("model/twice.obj", MeshFile(3));
    Mesh* first = LoadMesh("twice");
    const size_t cached = TheFileManager().LoadedCount();
    std::filesystem::remove("model/twice.obj");  // the second load must not need it

    Mesh* second = LoadMesh("twice");
    ASSERT_NE(second, nullptr);
    EXPECT_NE(second->positions, first->positions);
    EXPECT_EQ(second->positions[3], first->positions[3]);
    EXPECT_EQ(TheFileManager().LoadedCount(), cached);
    EXPECT_EQ(FindMesh("twice"), first);
}
