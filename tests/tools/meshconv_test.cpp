// meshconv on third-party sample models and on a triangle written here.

#include <tuple>

#include "tests/tools/mesh_checks.h"
#include "tests/tools/tool_process.h"

namespace {

using MeshconvTest = ToolOutputTest;

}  // namespace

TEST_F(MeshconvTest, ThirdPartyModelsLoadInThePlayerWithFullFrames)
{
    // The triangles of every part of the file, polygons split.
    const std::tuple<std::string, std::string, size_t> models[] = {
        {"conv_spider", "OBJ/spider.obj", 1368},  // nineteen parts
        {"conv_wuson", "PLY/Wuson.ply", 3732},
        {"conv_plycube", "PLY/cube.ply", 12},  // no normals, no texture coordinates
    };
    for (const auto& [name, source, triangles] : models) {
        SCOPED_TRACE(source);
        const std::string path = std::string(ASSIMP_SAMPLE_MODELS) + "/" + source;
        const ToolRun run = RunTool(MESHCONV_PATH, {path, "model/" + name + ".obj"});
        ASSERT_EQ(run.exitCode, 0) << run.err;
        Mesh* mesh = LoadModelAsPlayer(name);
        ASSERT_NE(mesh, nullptr);
        EXPECT_EQ(mesh->vertexCount, 3 * triangles);
        EXPECT_TRUE(FramesAreOrthonormal(*mesh, 1e-4f));
    }
}

TEST_F(MeshconvTest, HandMadeTriangleComesBackScaledFlippedAndWithANormalMadeForIt)
{
    WriteFile("tri.obj", std::string("v 0 0 0\nv 1 0 0\nv 0 1 0\nvt 0 0.25\nvt 1 0.25\nvt 0 1\nf 1/1 2/2 3/3\n"));
    const std::tuple<std::string, std::vector<std::string>, float, bool> cases[] = {
        {"tri_plain", {"tri.obj"}, 1.0f, false},
        {"tri_scaled", {"--scale", "2.5", "--flip-uv", "tri.obj"}, 2.5f, true},
    };
    const Float3 positions[] = {{0, 0, 0}, {1, 0, 0}, {0, 1, 0}};
    const float v[] = {0.25f, 0.25f, 1.0f};
    for (auto [name, arguments, scale, flipV] : cases) {
        SCOPED_TRACE(name);
        arguments.push_back("model/" + name + ".obj");
        ASSERT_EQ(RunTool(MESHCONV_PATH, arguments).exitCode, 0);
        Mesh* mesh = LoadModelAsPlayer(name);
        ASSERT_NE(mesh, nullptr);
        ASSERT_EQ(mesh->vertexCount, 3u);
        for (size_t i = 0; i < 3; ++i) {
            const Float3 p = PositionOf(*mesh, i);
            const Float3 n = NormalOf(*mesh, i);
            EXPECT_EQ(std::vector<float>({p.x, p.y, p.z}),
                      std::vector<float>({positions[i].x * scale, positions[i].y * scale, 0.0f}));
            EXPECT_EQ(TexcoordOf(*mesh, i).y, flipV ? 1 - v[i] : v[i]);
            EXPECT_EQ(std::vector<float>({n.x, n.y, n.z}), std::vector<float>({0, 0, 1}));  // generated
        }
        EXPECT_TRUE(FramesAreOrthonormal(*mesh, 1e-5f));
        EXPECT_TRUE(FramesFitTheSurface(*mesh));
    }
}
