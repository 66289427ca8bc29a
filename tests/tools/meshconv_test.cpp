// meshconv on third-party sample models, on a cube written here, and on
// files it cannot read.

#include <assimp/Importer.hpp>
#include <assimp/postprocess.h>
#include <assimp/scene.h>
#include <gtest/gtest.h>

#include <filesystem>
#include <sstream>

#include "tests/tools/mesh_checks.h"
#include "tests/tools/tool_process.h"

namespace {

using MeshconvTest = ToolOutputTest;

// Triangles in the file as the import library counts them after splitting
// polygons.
size_t ImporterTriangleCount(const std::string& path)
{
    Assimp::Importer importer;
    const aiScene* scene = importer.ReadFile(path, aiProcess_Triangulate);
    size_t triangles = 0;
    for (unsigned m = 0; scene && m < scene->mNumMeshes; ++m) {
        const aiMesh& mesh = *scene->mMeshes[m];
        for (unsigned f = 0; f < mesh.mNumFaces; ++f) {
            triangles += mesh.mFaces[f].mNumIndices == 3;
        }
    }
    return triangles;
}

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
    for (int axis = 0; axis < 3; ++axis) {
        for (float side : {1.0f, -1.0f}) {
            // a x b points along the face's normal.
            const int a = side > 0 ? (axis + 1) % 3 : (axis + 2) % 3;
            const int b = side > 0 ? (axis + 2) % 3 : (axis + 1) % 3;
            for (const auto& [s, t] : quad) {
                float p[3] = {};
                float n[3] = {};
                p[axis] = side * half[axis];
                n[axis] = side;
                p[a] = (s ? 1.0f : -1.0f) * half[a];
                p[b] = (t ? 1.0f : -1.0f) * half[b];
                corners.push_back(
                    {{p[0], p[1], p[2]}, {s ? 0.75f : 0.25f, t ? 1.0f : 0.5f}, {n[0], n[1], n[2]}});
            }
        }
    }
    return corners;
}

std::string CubeObjText(const std::vector<CubeCorner>& corners, bool withNormals)
{
    std::ostringstream obj;
    for (const CubeCorner& c : corners) {
        obj << "v " << c.position.x << " " << c.position.y << " " << c.position.z << "\n";
        obj << "vt " << c.texcoord.x << " " << c.texcoord.y << "\n";
        obj << "vn " << c.normal.x << " " << c.normal.y << " " << c.normal.z << "\n";
    }
    for (size_t i = 1; i + 2 <= corners.size(); i += 3) {
        obj << "f";
        for (size_t k = i; k < i + 3; ++k) {
            obj << " " << k << "/" << k;
            if (withNormals) {
                obj << "/" << k;
            }
        }
        obj << "\n";
    }
    return obj.str();
}

std::string Meshconv()
{
    return MESHCONV_PATH;
}

std::string SampleModel(const std::string& relative)
{
    return std::string(ASSIMP_SAMPLE_MODELS) + "/" + relative;
}

}  // namespace

TEST_F(MeshconvTest, ThirdPartyModelsLoadInThePlayerWithFullFrames)
{
    const std::vector<std::pair<std::string, std::string>> models = {
        {"conv_spider", SampleModel("OBJ/spider.obj")},
        {"conv_wuson", SampleModel("PLY/Wuson.ply")},
        {"conv_plycube", SampleModel("PLY/cube.ply")},  // no normals, no texture coordinates
    };
    for (const auto& [name, source] : models) {
        SCOPED_TRACE(source);
        const ToolRun run = RunTool(Meshconv(), {source, "model/" + name + ".obj"});
        ASSERT_EQ(run.exitCode, 0) << run.err;
        const size_t triangles = ImporterTriangleCount(source);
        ASSERT_GT(triangles, 0u);
        Mesh* mesh = LoadModelAsPlayer(name);
        ASSERT_NE(mesh, nullptr);
        EXPECT_EQ(mesh->vertexCount, 3 * triangles);
        EXPECT_TRUE(FramesAreOrthonormal(*mesh, 1e-4f));
    }
}

TEST_F(MeshconvTest, HandMadeCubeComesBackExactlyWithAndWithoutFlippedV)
{
    const std::vector<CubeCorner> corners = CubeCorners();
    WriteFile("cube.obj", CubeObjText(corners, true));
    struct Case {
        std::string name;
        std::vector<std::string> options;
        float scale;
        bool flipV;
    };
    const std::vector<Case> cases = {
        {"cube_plain", {}, 1.0f, false},
        {"cube_flipped", {"--flip-uv"}, 1.0f, true},
        {"cube_scaled", {"--scale", "2.5", "--flip-uv"}, 2.5f, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        std::vector<std::string> arguments = c.options;
        arguments.insert(arguments.end(), {"cube.obj", "model/" + c.name + ".obj"});
        const ToolRun run = RunTool(Meshconv(), arguments);
        ASSERT_EQ(run.exitCode, 0) << run.err;
        Mesh* mesh = LoadModelAsPlayer(c.name);
        ASSERT_NE(mesh, nullptr);
        ASSERT_EQ(mesh->vertexCount, corners.size());
        for (size_t v = 0; v < corners.size(); ++v) {
            const Float3 p = PositionOf(*mesh, v);
            const Float2 uv = TexcoordOf(*mesh, v);
            const Float3 n = NormalOf(*mesh, v);
            const Float2 expectedUv = {corners[v].texcoord.x, c.flipV ? 1.0f - corners[v].texcoord.y
                                                                      : corners[v].texcoord.y};
            EXPECT_EQ(p.x, corners[v].position.x * c.scale) << "vertex " << v;
            EXPECT_EQ(p.y, corners[v].position.y * c.scale) << "vertex " << v;
            EXPECT_EQ(p.z, corners[v].position.z * c.scale) << "vertex " << v;
            EXPECT_EQ(uv.x, expectedUv.x) << "vertex " << v;
            EXPECT_EQ(uv.y, expectedUv.y) << "vertex " << v;
            EXPECT_EQ(n.x, corners[v].normal.x) << "vertex " << v;
            EXPECT_EQ(n.y, corners[v].normal.y) << "vertex " << v;
            EXPECT_EQ(n.z, corners[v].normal.z) << "vertex " << v;
        }
        EXPECT_TRUE(FramesAreOrthonormal(*mesh, 1e-5f));
        EXPECT_TRUE(WindingFollowsNormals(*mesh));
        EXPECT_TRUE(FramesFollowTexcoords(*mesh));
    }
}

TEST_F(MeshconvTest, MissingNormalsAreGeneratedPointingOutOfTheCube)
{
    WriteFile("bare.obj", CubeObjText(CubeCorners(), false));
    const ToolRun run = RunTool(Meshconv(), {"bare.obj", "model/cube_bare.obj"});
    ASSERT_EQ(run.exitCode, 0) << run.err;
    Mesh* mesh = LoadModelAsPlayer("cube_bare");
    ASSERT_NE(mesh, nullptr);
    EXPECT_TRUE(FramesAreOrthonormal(*mesh, 1e-5f));
    EXPECT_TRUE(WindingFollowsNormals(*mesh));
    EXPECT_TRUE(FramesFollowTexcoords(*mesh));
    for (size_t v = 0; v < mesh->vertexCount; ++v) {
        EXPECT_GT(Dot(NormalOf(*mesh, v), PositionOf(*mesh, v)), 0.0f) << "vertex " << v;
    }
}

TEST_F(MeshconvTest, UnreadableModelsFailWithTheFileNamedAndNoOutput)
{
    std::string truncatedPly = ReadFileText(SampleModel("PLY/cube_binary.ply"));
    truncatedPly.resize(truncatedPly.size() * 2 / 3);
    std::string garbage;
    for (int i = 0; i < 4096; ++i) {
        garbage.push_back(static_cast<char>((i * 7919 + 13) % 251));
    }
    WriteFile("garbage.obj", garbage);
    WriteFile("garbage.bin", garbage);
    WriteFile("empty.obj", std::string());
    WriteFile("truncated.ply", truncatedPly);
    WriteFile("header_only.ply",
              "ply\nformat ascii 1.0\nelement vertex 1000000\nproperty float x\nend_header\n1 2\n");
    WriteFile("lines.obj", "v 0 0 0\nv 1 0 0\nv 0 1 0\nl 1 2\nl 2 3\n");
    WriteFile("bad_index.obj", "v 0 0 0\nv 1 0 0\nv 0 1 0\nf 1 2 9\n");
    const std::vector<std::string> inputs = {"missing.obj", "garbage.obj",   "garbage.bin",
                                             "empty.obj",   "truncated.ply", "header_only.ply",
                                             "lines.obj",   "bad_index.obj"};
    for (const std::string& input : inputs) {
        SCOPED_TRACE(input);
        const ToolRun run = RunTool(Meshconv(), {input, "out.obj"});
        EXPECT_EQ(run.exitCode, 1);
        EXPECT_NE(run.err.find("meshconv: "), std::string::npos) << run.err;
        EXPECT_NE(run.err.find(input), std::string::npos) << run.err;
        EXPECT_FALSE(std::filesystem::exists("out.obj"));
    }
}

TEST_F(MeshconvTest, CommandLineMistakesAreUsageErrors)
{
    WriteFile("cube.obj", CubeObjText(CubeCorners(), true));
    const std::vector<std::vector<std::string>> mistakes = {
        {},
        {"cube.obj"},
        {"cube.obj", "a.obj", "b.obj"},
        {"--scale", "abc", "cube.obj", "out.obj"},
        {"--scale", "0", "cube.obj", "out.obj"},
        {"--scale", "-2", "cube.obj", "out.obj"},
        {"--scale", "nan", "cube.obj", "out.obj"},
        {"cube.obj", "out.obj", "--scale"},
        {"--mirror", "cube.obj", "out.obj"},
    };
    for (const std::vector<std::string>& arguments : mistakes) {
        const ToolRun run = RunTool(Meshconv(), arguments);
        EXPECT_EQ(run.exitCode, 2) << testing::PrintToString(arguments);
        EXPECT_NE(run.err.find("meshconv: "), std::string::npos);
        EXPECT_FALSE(std::filesystem::exists("out.obj"));
    }
    const ToolRun help = RunTool(Meshconv(), {"--help"});
    EXPECT_EQ(help.exitCode, 0);
    EXPECT_NE(help.out.find("usage: meshconv"), std::string::npos);

    const ToolRun unwritable = RunTool(Meshconv(), {"cube.obj", "no/such/dir/out.obj"});
    EXPECT_EQ(unwritable.exitCode, 1);
    EXPECT_NE(unwritable.err.find("no/such/dir/out.obj"), std::string::npos) << unwritable.err;
}
