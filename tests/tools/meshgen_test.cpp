// meshgen's shapes, loaded through the player's mesh loader.

#include <cmath>
#include <numbers>

#include "tests/tools/mesh_checks.h"
#include "tests/tools/tool_process.h"

namespace {

using MeshgenTest = ToolOutputTest;

Mesh* Generate(const std::string& name, const std::vector<std::string>& kindAndOptions)
{
    std::vector<std::string> arguments = {kindAndOptions[0], "model/" + name + ".obj"};
    arguments.insert(arguments.end(), kindAndOptions.begin() + 1, kindAndOptions.end());
    const ToolRun run = RunTool(MESHGEN_PATH, arguments);
    EXPECT_EQ(run.exitCode, 0) << run.err;
    return run.exitCode == 0 ? LoadModelAsPlayer(name) : nullptr;
}

// The volume enclosed by the triangles, each seen from `origin`. For a closed
// surface it does not depend on the origin; it is positive when the
// triangles turn outwards.
double EnclosedVolume(const Mesh& mesh, Float3 origin)
{
    double volume = 0.0;
    for (size_t v = 0; v + 2 < mesh.vertexCount; v += 3) {
        const Float3 a = PositionOf(mesh, v) - origin;
        const Float3 b = PositionOf(mesh, v + 1) - origin;
        const Float3 c = PositionOf(mesh, v + 2) - origin;
        volume += Dot(a, Cross(b, c)) / 6.0;
    }
    return volume;
}

constexpr double kPi = std::numbers::pi;

}  // namespace

TEST_F(MeshgenTest, EveryKindLoadsWithFramesThatFollowItsTexture)
{
    struct Shape {
        std::string name;
        std::vector<std::string> arguments;
        bool standsUpright;  // a tube's texture runs round it, with no up or down
    };
    const std::vector<Shape> shapes = {
        {"gen_plane", {"plane"}, true},
        {"gen_box", {"box"}, true},
        {"gen_cylinder", {"cylinder"}, true},
        {"gen_knot", {"torusknot"}, false},
        {"gen_knot35", {"torusknot", "--turns", "3", "--twists", "5", "--segments", "64", "--sides", "5"}, false},
        {"gen_sphere", {"sphere"}, true},
        {"gen_shards", {"shards"}, true},
    };
    for (const Shape& shape : shapes) {
        SCOPED_TRACE(shape.name);
        Mesh* mesh = Generate(shape.name, shape.arguments);
        ASSERT_NE(mesh, nullptr);
        EXPECT_GT(mesh->vertexCount, 0u);
        EXPECT_TRUE(FramesAreOrthonormal(*mesh, 1e-4f));
        EXPECT_TRUE(FramesFitTheSurface(*mesh));
        // Pictures are not mirrored; on upright faces v grows downwards (v = 0 at the top).
        for (size_t v = 0; v < mesh->vertexCount; ++v) {
            ASSERT_GT(Dot(Cross(TangentOf(*mesh, v), BinormalOf(*mesh, v)), NormalOf(*mesh, v)), 0.0f) << v;
            ASSERT_TRUE(!shape.standsUpright || std::fabs(NormalOf(*mesh, v).y) >= 0.5f || BinormalOf(*mesh, v).y < 0)
                << v;
        }
    }
}

TEST_F(MeshgenTest, SolidsAreClosedAndTurnOutwardsSpheresAreRoundShardsFlatAndPlanesOnTheGround)
{
    struct Solid {
        std::string name;
        std::vector<std::string> arguments;
        double volume;
        double tolerance;  // relative; facets cut a little off round shapes
    };
    const std::vector<Solid> solids = {
        {"vol_box", {"box", "--width", "2", "--height", "3", "--depth", "0.5"}, 3.0, 1e-5},
        {"vol_cylinder", {"cylinder", "--radius", "1", "--height", "2", "--segments", "64"}, 2 * kPi, 0.01},
        {"vol_sphere", {"sphere", "--radius", "2", "--segments", "64", "--rings", "32"}, 32 * kPi / 3, 0.02},
        {"vol_shards", {"shards", "--radius", "2", "--subdivisions", "3"}, 32 * kPi / 3, 0.03},
        {"vol_knot", {"torusknot"}, 0.0, 0.0},  // no closed form: only closed and outward
    };
    for (const Solid& solid : solids) {
        SCOPED_TRACE(solid.name);
        Mesh* mesh = Generate(solid.name, solid.arguments);
        ASSERT_NE(mesh, nullptr);
        const double volume = EnclosedVolume(*mesh, {});
        EXPECT_GT(volume, 0.0);
        EXPECT_NEAR(EnclosedVolume(*mesh, {3.0f, -5.0f, 7.0f}), volume, 1e-4 * volume + 1e-4);
        if (solid.volume > 0.0) {
            EXPECT_NEAR(volume, solid.volume, solid.volume * solid.tolerance);
        }
    }
    // The box stands on the ground, centred on the vertical axis.
    Mesh* box = LoadModelAsPlayer("vol_box");
    ASSERT_NE(box, nullptr);
    std::vector<float> bounds = {1e9f, 1e9f, 1e9f, -1e9f, -1e9f, -1e9f};  // low x, y, z, then high
    for (size_t i = 0; i < 3 * box->vertexCount; ++i) {
        bounds[i % 3] = std::min(bounds[i % 3], box->positions[i]);
        bounds[3 + i % 3] = std::max(bounds[3 + i % 3], box->positions[i]);
    }
    EXPECT_EQ(bounds, std::vector<float>({-1, 0, -0.25f, 1, 3, 0.25f}));

    // Spheres are round and smooth, shards flat, planes on the ground.
    Mesh* sphere = Generate("out_sphere", {"sphere", "--radius", "2.5"});
    ASSERT_NE(sphere, nullptr);
    for (size_t v = 0; v < sphere->vertexCount; ++v) {
        ASSERT_NEAR(Length(PositionOf(*sphere, v)), 2.5f, 1e-5f) << "vertex " << v;
        ASSERT_NEAR(Dot(NormalOf(*sphere, v), PositionOf(*sphere, v)), 2.5f, 1e-4f) << "vertex " << v;  // smooth
    }

    Mesh* shards = Generate("out_shards", {"shards", "--subdivisions", "1"});
    ASSERT_NE(shards, nullptr);
    EXPECT_EQ(shards->vertexCount, 3u * 80u);
    for (size_t first = 0; first < shards->vertexCount; first += 3) {
        const Float3 corner = PositionOf(*shards, first);
        const Float3 face =
            Normalized(Cross(PositionOf(*shards, first + 1) - corner, PositionOf(*shards, first + 2) - corner));
        for (size_t v = first; v < first + 3; ++v) {
            ASSERT_GT(Dot(NormalOf(*shards, v), PositionOf(*shards, v)), 0.0f) << "vertex " << v;
            ASSERT_NEAR(Dot(NormalOf(*shards, v), face), 1.0f, 1e-5f) << "vertex " << v;
        }
    }

    Mesh* plane = Generate("out_plane", {"plane", "--segments", "3", "--size", "6"});
    ASSERT_NE(plane, nullptr);
    EXPECT_EQ(plane->vertexCount, 3u * 3u * 2u * 3u);
    for (size_t v = 0; v < plane->vertexCount; ++v) {
        const Float3 p = PositionOf(*plane, v);
        EXPECT_TRUE(p.y == 0.0f && NormalOf(*plane, v).y == 1.0f && std::fabs(p.x) <= 3.0f) << "vertex " << v;
    }
}
