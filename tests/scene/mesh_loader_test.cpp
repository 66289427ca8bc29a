#include <gtest/gtest.h>

#include "scene/mesh_loader.h"
#include "scene/xml_reader.h"
#include "tests/scene/scene_files.h"
#include "tests/scene/scene_fixture.h"
#include "world/world.h"

namespace {

using MeshLoaderTest = SceneFixture;

}  // namespace

TEST_F(MeshLoaderTest, SortsEachVertexRecordIntoTheFiveArrays)
{
    WriteFile("model/tri.obj", MeshFile(3));
    StdoutCapture capture;
    Mesh* mesh = LoadMesh("tri");
    EXPECT_TRUE(capture.Lines().empty());
    ASSERT_NE(mesh, nullptr);
    EXPECT_EQ(mesh->name, "tri");
    EXPECT_EQ(mesh->vertexCount, 3u);
    EXPECT_EQ(mesh->strideBytes, 0u);
    for (int v = 0; v < 3; ++v) {
        const float base = 100.0f * static_cast<float>(v);
        EXPECT_EQ(mesh->positions[3 * v + 0], base + 0);
        EXPECT_EQ(mesh->positions[3 * v + 2], base + 2);
        EXPECT_EQ(mesh->texcoords[2 * v + 0], base + 3);
        EXPECT_EQ(mesh->texcoords[2 * v + 1], base + 4);
        EXPECT_EQ(mesh->normals[3 * v + 0], base + 5);
        EXPECT_EQ(mesh->normals[3 * v + 2], base + 7);
        EXPECT_EQ(mesh->tangents[3 * v + 0], base + 8);
        EXPECT_EQ(mesh->binormals[3 * v + 0], base + 11);
        EXPECT_EQ(mesh->binormals[3 * v + 2], base + 13);
    }
    EXPECT_EQ(renderer.calls, (std::vector<std::string>{"CreateMesh tri"}));
    EXPECT_EQ(FindMesh("tri"), mesh);
}

TEST_F(MeshLoaderTest, EmptyMeshIsStillCreatedAndRegistered)
{
    WriteFile("model/nothing.obj", MeshFile(0));
    Mesh* mesh = LoadMesh("nothing");
    ASSERT_NE(mesh, nullptr);
    EXPECT_EQ(mesh->vertexCount, 0u);
    EXPECT_EQ(renderer.CountCalls("CreateMesh"), 1);
    EXPECT_EQ(FindMesh("nothing"), mesh);
}

TEST_F(MeshLoaderTest, MalformedFilesAreRefusedWithoutReadingPastTheirEnd)
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
        EXPECT_EQ(FindMesh(name), nullptr);
    }
    EXPECT_EQ(TheWorld().MeshCount(), meshesBefore);
    EXPECT_TRUE(renderer.calls.empty());

    // Bytes after the last record are ignored.
    std::vector<uint8_t> trailing = MeshFile(1);
    trailing.push_back(0xAB);
    WriteFile("model/trailing.obj", trailing);
    EXPECT_NE(LoadMesh("trailing"), nullptr);
}

TEST_F(MeshLoaderTest, MissingFileLogsEachLayerInOrder)
{
    StdoutCapture capture;
    EXPECT_EQ(LoadMesh("ghost"), nullptr);
    EXPECT_EQ(capture.Lines(), (std::vector<std::string>{
                                   "Cannot open file: model/ghost.obj",
                                   "openfileerror",
                                   "Cannot load file ghost",
                               }));
    EXPECT_EQ(FindMesh("ghost"), nullptr);

    Mesh* out = nullptr;
    const ResourceFile file{};
    EXPECT_EQ(ParseMeshFile(file, nullptr, "x"), -1);
    EXPECT_EQ(ParseMeshFile(file, &out, "x"), -1);
}

TEST_F(MeshLoaderTest, SecondLoadOfANameIsServedFromTheCache)
{
    WriteFile("model/twice.obj", MeshFile(3));
    Mesh* first = LoadMesh("twice");
    const size_t cached = TheFileManager().LoadedCount();
    std::filesystem::remove("model/twice.obj");  // the second load must not need it

    Mesh* second = LoadMesh("twice");
    ASSERT_NE(second, nullptr);
    EXPECT_NE(second, first);
    EXPECT_NE(second->positions, first->positions);
    EXPECT_EQ(second->positions[3], first->positions[3]);
    EXPECT_EQ(TheFileManager().LoadedCount(), cached);
    EXPECT_EQ(FindMesh("twice"), first);
}

TEST_F(MeshLoaderTest, MeshesSectionLoadsOneMeshPerChildByElementName)
{
    WriteFile("model/alpha.obj", MeshFile(3));
    WriteFile("model/beta.obj", MeshFile(6));
    WriteFile("scene.xml", std::string("<meshes>\n"
                                       "  <alpha file=\"ignored\" />\n"
                                       "  <missing />\n"
                                       "  <beta />\n"
                                       "</meshes>\n"));
    XMLReader reader;
    ASSERT_EQ(reader.Load("scene.xml"), 0);
    StdoutCapture capture;
    LoadMeshes(AsExtended(reader.root));
    EXPECT_EQ(capture.Lines(), (std::vector<std::string>{
                                   "Cannot open file: model/missing.obj",
                                   "openfileerror",
                                   "Cannot load file missing",
                               }));
    EXPECT_EQ(renderer.calls, (std::vector<std::string>{"CreateMesh alpha", "CreateMesh beta"}));
    ASSERT_NE(FindMesh("beta"), nullptr);
    EXPECT_EQ(FindMesh("beta")->vertexCount, 6u);
}
