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

TEST_F(MeshgenTest, EveryKindLoadsWithFramesThatFollowItsTextureAndSolidsAreClosedAndTurnOutwards)
{
    struct Shape {
        std::string name;
        std::vector<std::string> arguments;
        bool standsUpright;  // a tube's texture runs round it, with no up or down
        double volume;       // of a closed solid; 0 without a closed form, -1 when open
        double tolerance;    // relative; facets cut a little off round shapes
    };
    const std::vector<Shape> shapes = {
        {"gen_plane", {"plane"}, true, -1, 0},
        {"gen_box", {"box", "--width", "2", "--height", "3", "--depth", "0.5"}, true, 3.0, 1e-5},
        {"gen_cylinder", {"cylinder", "--radius", "1", "--height", "2", "--segments", "64"}, true, 2 * kPi, 0.01},
        {"gen_knot", {"torusknot"}, false, 0, 0},
        {"gen_knot35", {"torusknot", "--turns", "3", "--twists", "5", "--segments", "64", "--sides", "5"}, false, -1, 0},
        {"gen_sphere", {"sphere", "--radius", "2", "--segments", "64", "--rings", "32"}, true, 32 * kPi / 3, 0.02},
        {"gen_shards", {"shards", "--radius", "2", "--subdivisions", "3"}, true, 32 * kPi / 3, 0.03},
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
        if (shape.volume >= 0.0) {
            const double volume = EnclosedVolume(*mesh, {});
            EXPECT_GT(volume, 0.0);
            EXPECT_NEAR(EnclosedVolume(*mesh, {3.0f, -5.0f, 7.0f}), volume, 1e-4 * volume + 1e-4);
            EXPECT_TRUE(shape.volume == 0.0 || std::fabs(volume - shape.volume) <= shape.volume * shape.tolerance)
                << volume;
        }
    }
}
