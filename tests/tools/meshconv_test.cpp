// meshconv on third-party sample models and on a cube written here.

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
    for (size_t i = 0; i < corners.size(); ++i) {
        const CubeCorner& c = corners[i];
        obj << "v " << c.position.x << " " << c.position.y << " " << c.position.z << "\n";
        obj << "vt " << c.texcoord.x << " " << c.texcoord.y << "\n";
        obj << "vn " << c.normal.x << " " << c.normal.y << " " << c.normal.z << "\n";
        if (i % 3 == 2) {  // a face per three corners; indices count from 1
            obj << "f";
            for (size_t k = i - 1; k <= i + 1; ++k) {
                obj << " " << k << "/" << k << (withNormals ? "/" + std::to_string(k) : "");
            }
            obj << "\n";
        }
    }
    return obj.str();
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
        const ToolRun run = RunTool(MESHCONV_PATH, {source, "model/" + name + ".obj"});
        ASSERT_EQ(run.exitCode, 0) << run.err;
        const size_t triangles = ImporterTriangleCount(source);
        ASSERT_GT(triangles, 0u);
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
    struct Case {
        std::string name;
        std::vector<std::string> arguments;
        float scale;
        bool flipV;
    };
    const std::vector<Case> cases = {
        {"cube_plain", {"cube.obj"}, 1.0f, false},
        {"cube_flipped", {"--flip-uv", "cube.obj"}, 1.0f, true},
        {"cube_scaled", {"--scale", "2.5", "--flip-uv", "cube.obj"}, 2.5f, true},
        {"cube_bare", {"bare.obj"}, 1.0f, false},  // normals generated, pointing out of the cube
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        std::vector<std::string> arguments = c.arguments;
        arguments.push_back("model/" + c.name + ".obj");
        const ToolRun run = RunTool(MESHCONV_PATH, arguments);
        ASSERT_EQ(run.exitCode, 0) << run.err;
        Mesh* mesh = LoadModelAsPlayer(c.name);
        ASSERT_NE(mesh, nullptr);
        ASSERT_EQ(mesh->vertexCount, corners.size());
        for (size_t v = 0; v < corners.size(); ++v) {
            const CubeCorner& corner = corners[v];
            const Float3 p = PositionOf(*mesh, v);
            const Float2 uv = TexcoordOf(*mesh, v);
            const Float3 n = NormalOf(*mesh, v);
            ASSERT_EQ(std::vector<float>({p.x, p.y, p.z, uv.x, uv.y}),
                      std::vector<float>({corner.position.x * c.scale, corner.position.y * c.scale,
                                          corner.position.z * c.scale, corner.texcoord.x,
                                          c.flipV ? 1 - corner.texcoord.y : corner.texcoord.y}))
                << v;
            if (c.name == "cube_bare") {
                ASSERT_GT(Dot(n, p), 0.0f) << v;
            } else {
                ASSERT_EQ(std::vector<float>({n.x, n.y, n.z}),
                          std::vector<float>({corner.normal.x, corner.normal.y, corner.normal.z}))
                    << v;
            }
        }
        EXPECT_TRUE(FramesAreOrthonormal(*mesh, 1e-5f));
        EXPECT_TRUE(WindingFollowsNormals(*mesh));
        EXPECT_TRUE(FramesFollowTexcoords(*mesh));
    }
}
