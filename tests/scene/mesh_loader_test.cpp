#include "scene/mesh_loader.h"
#include "tests/scene/scene_files.h"
#include "tests/scene/scene_fixture.h"

namespace {

using MeshLoaderTest = SceneFixture;

}  // namespace

TEST_F(MeshLoaderTest, MalformedFilesAreRefusedWithoutReadingPastTheirEndAndASecondLoadComesFromTheCache)
{
    const std::vector<std::pair<std::string, std::vector<uint8_t>>> files = {
        {"badmagic", MeshFile(3, 0x1338)},
        {"empty", {}},
        {"short", MeshFile(3, kModelFileMagic, 2)},
        // 56 x this count overflows 32 bits to a small number.
        {"overflow", MeshFile(0x4924925u, kModelFileMagic, 1)},
        {"huge", MeshFile(0xFFFFFFFFu, kModelFileMagic, 0)},
    };
    for (const auto& [name, bytes] : files) {
        WriteFile("model/" + name + ".obj", bytes);
        StdoutCapture capture;
        EXPECT_EQ(LoadMesh(name), nullptr) << name;
        const std::vector<std::string> lines = capture.Lines();
        ASSERT_EQ(lines.size(), 1u) << name;
        EXPECT_EQ(lines[0].rfind("Creating Mesh failure: " + name + " (", 0), 0u) << lines[0];
    }
    EXPECT_TRUE(renderer.calls.empty());


    // A mesh of no vertices is a mesh.
    WriteFile("model/nothing.obj", MeshFile(0));
    ASSERT_NE(LoadMesh("nothing"), nullptr);
    EXPECT_EQ(FindMesh("nothing")->vertexCount, 0u);
    EXPECT_EQ(renderer.CountCalls("CreateMesh"), 1);

    // The second load of a name is served from the cache.
    WriteFile("model/twice.obj", MeshFile(3));
    Mesh* first = LoadMesh("twice");
    std::filesystem::remove("model/twice.obj");  // the second load must not need it
    Mesh* second = LoadMesh("twice");
    ASSERT_NE(second, nullptr);
    EXPECT_NE(second->positions, first->positions);
    EXPECT_EQ(second->positions[3], first->positions[3]);
    EXPECT_EQ(FindMesh("twice"), first);

    // Only what the count needs is read: bytes after the last record, here
    // far more than the records, stay on disk (a sparse file).
    WriteFile("model/padded.obj", MeshFile(3));
    std::filesystem::resize_file("model/padded.obj", uint64_t{3} << 30);
    ASSERT_NE(LoadMesh("padded"), nullptr);
    EXPECT_EQ(TheFileManager().FindLoaded("padded", kResourceModel)->size, ModelFileBytes(3));
}
