// meshconv on third-party sample models and on a cube written here.

#include <sstream>
#include <tuple>

#include "tests/tools/mesh_checks.h"
#include "tests/tools/tool_process.h"

namespace {

using MeshconvTest = ToolOutputTest;

// A box with half sizes 0.5, 1 and 1.5 round the origin: six faces, each two
// triangles given corner by corner with position, texture coordinate and
// (optionally) normal, turning counter-clockwise seen from outside.
struct CubeCorner {
    Float3 position;
    Float2 texcoord;
    Float3 normal;
};

std::vector<CubeCorner> CubeCorners()
{
    const float half[3] = {0.5f, 1.0f, 1.5f};
    const int quad[6][2] = {{0, 0}, {1, 0}, {1, 1}, {0, 0}, {1, 1}, {0, 1}};
    std::vector<CubeCorner> corners;
    for (int face = 0; face < 6; ++face) {
        const int axis = face / 2;
        const float side = face % 2 ? -1.0f : 1.0f;
        const int a = (axis + 1 + face % 2) % 3;  // a x b points along the face's normal
        const int b = (axis + 2 - face % 2) % 3;
        for (const auto& [s, t] : quad) {
            float p[3] = {};
            float n[3] = {};
            p[axis] = side * half[axis];
            n[axis] = side;
            p[a] = (s ? 1.0f : -1.0f) * half[a];
            p[b] = (t ? 1.0f : -1.0f) * half[b];
            corners.push_back({{p[0], p[1], p[2]}, {s ? 0.75f : 0.25f, t ? 1.0f : 0.5f}, {n[0], n[1], n[2]}});
        }
    }
    return corners;
}

std::string CubeObjText(const std::vector<CubeCorner>& corners, bool withNormals)
{
    std::ostringstream obj;
    for (const CubeCorner& c : corners) {
        obj << "v " << c.position.x << " " << c.position.y << " " << c.position.z << "\nvt " << c.texcoord.x << " "
            << c.texcoord.y << "\nvn " << c.normal.x << " " << c.normal.y << " " << c.normal.z << "\n";
    }
    for (size_t k = 1; k <= corners.size(); ++k) {  // a face per three corners; indices count from 1
        obj << (k % 3 == 1 ? "f" : "") << " " << k << "/" << k << (withNormals ? "/" + std::to_string(k) : "")
            << (k % 3 == 0 ? "\n" : "");
    }
    return obj.str();
}

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

TEST_F(MeshconvTest, HandMadeCubeComesBackExactlyScaledFlippedOrWithNormalsMadeForIt)
{
    const std::vector<CubeCorner> corners = CubeCorners();
    WriteFile("cube.obj", CubeObjText(corners, true));
    WriteFile("bare.obj", CubeObjText(corners, false));
    const std::tuple<std::string, std::vector<std::string>, float, bool> cases[] = {
        {"cube_plain", {"cube.obj"}, 1.0f, false},
        {"cube_scaled", {"--scale", "2.5", "--flip-uv", "cube.obj"}, 2.5f, true},
        {"cube_bare", {"bare.obj"}, 1.0f, false},  // normals generated, pointing out of the cube
    };
    const auto values = [](Float3 a) { return std::vector<float>{a.x, a.y, a.z}; };
    for (auto [name, arguments, scale, flipV] : cases) {
        SCOPED_TRACE(name);
        arguments.push_back("model/" + name + ".obj");
        ASSERT_EQ(RunTool(MESHCONV_PATH, arguments).exitCode, 0);
        Mesh* mesh = LoadModelAsPlayer(name);
        ASSERT_NE(mesh, nullptr);
        ASSERT_EQ(mesh->vertexCount, corners.size());
        for (size_t v = 0; v < corners.size(); ++v) {
            const CubeCorner& c = corners[v];
            const Float2 uv = TexcoordOf(*mesh, v);
            ASSERT_EQ(values(PositionOf(*mesh, v)), values(c.position * scale)) << v;
            ASSERT_EQ(std::pair(uv.x, uv.y), std::pair(c.texcoord.x, flipV ? 1 - c.texcoord.y : c.texcoord.y)) << v;
            if (name == "cube_bare") {
                ASSERT_GT(Dot(NormalOf(*mesh, v), c.position), 0.0f) << v;
            } else {
                ASSERT_EQ(values(NormalOf(*mesh, v)), values(c.normal)) << v;
            }
        }
        EXPECT_TRUE(FramesAreOrthonormal(*mesh, 1e-5f));
        EXPECT_TRUE(FramesFitTheSurface(*mesh));
    }
}
