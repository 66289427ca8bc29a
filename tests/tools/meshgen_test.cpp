// meshgen's shapes, loaded through the player's mesh loader.

#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <numbers>

#include "tests/tools/mesh_checks.h"
#include "tests/tools/tool_process.h"

namespace {

using MeshgenTest = ToolOutputTest;

std::string Meshgen()
{
    return MESHGEN_PATH;
}

Mesh* Generate(const std::string& name, const std::vector<std::string>& kindAndOptions)
{
    std::vector<std::string> arguments = {kindAndOptions[0], "model/" + name + ".obj"};
    arguments.insert(arguments.end(), kindAndOptions.begin() + 1, kindAndOptions.end());
    const ToolRun run = RunTool(Meshgen(), arguments);
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

testing::AssertionResult PicturesAreUnmirrored(const Mesh& mesh)
{
    for (size_t v = 0; v < mesh.vertexCount; ++v) {
        if (!(Dot(Cross(TangentOf(mesh, v), BinormalOf(mesh, v)), NormalOf(mesh, v)) > 0.0f)) {
            return testing::AssertionFailure() << "vertex " << v << " has a mirrored frame";
        }
    }
    return testing::AssertionSuccess();
}

// On faces that stand upright, v grows downwards (v = 0 at the top).
testing::AssertionResult VGrowsDownUprightFaces(const Mesh& mesh)
{
    for (size_t v = 0; v < mesh.vertexCount; ++v) {
        if (std::fabs(NormalOf(mesh, v).y) < 0.5f && !(BinormalOf(mesh, v).y < 0.0f)) {
            return testing::AssertionFailure() << "vertex " << v << ": v does not grow downwards";
        }
    }
    return testing::AssertionSuccess();
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
        {"gen_knot35",
         {"torusknot", "--turns", "3", "--twists", "5", "--segments", "64", "--sides", "5"},
         false},
        {"gen_sphere", {"sphere"}, true},
        {"gen_shards", {"shards"}, true},
    };
    for (const Shape& shape : shapes) {
        SCOPED_TRACE(shape.name);
        Mesh* mesh = Generate(shape.name, shape.arguments);
        ASSERT_NE(mesh, nullptr);
        EXPECT_GT(mesh->vertexCount, 0u);
        EXPECT_TRUE(FramesAreOrthonormal(*mesh, 1e-4f));
        EXPECT_TRUE(WindingFollowsNormals(*mesh));
        EXPECT_TRUE(FramesFollowTexcoords(*mesh));
        EXPECT_TRUE(PicturesAreUnmirrored(*mesh));
        if (shape.standsUpright) {
            EXPECT_TRUE(VGrowsDownUprightFaces(*mesh));
        }
    }
}

TEST_F(MeshgenTest, SolidsAreClosedAndTurnOutwards)
{
    struct Solid {
        std::string name;
        std::vector<std::string> arguments;
        double volume;
        double tolerance;  // relative; facets cut a little off round shapes
    };
    const std::vector<Solid> solids = {
        {"vol_box", {"box", "--width", "2", "--height", "3", "--depth", "0.5"}, 3.0, 1e-5},
        {"vol_cylinder",
         {"cylinder", "--radius", "1", "--height", "2", "--segments", "64"},
         2 * kPi,
         0.01},
        {"vol_sphere",
         {"sphere", "--radius", "2", "--segments", "64", "--rings", "32"},
         32 * kPi / 3,
         0.02},
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
}

TEST_F(MeshgenTest, SpheresFaceAwayFromTheCentreAndShardsAreFlat)
{
    Mesh* sphere = Generate("out_sphere", {"sphere", "--radius", "2.5"});
    ASSERT_NE(sphere, nullptr);
    for (size_t v = 0; v < sphere->vertexCount; ++v) {
        const Float3 p = PositionOf(*sphere, v);
        ASSERT_GT(Dot(NormalOf(*sphere, v), p), 0.0f) << "vertex " << v;
        ASSERT_NEAR(Length(p), 2.5f, 1e-5f) << "vertex " << v;
    }

    Mesh* shards = Generate("out_shards", {"shards", "--subdivisions", "1"});
    ASSERT_NE(shards, nullptr);
    EXPECT_EQ(shards->vertexCount, 3u * 80u);
    for (size_t first = 0; first < shards->vertexCount; first += 3) {
        const Float3 face =
            Normalized(Cross(PositionOf(*shards, first + 1) - PositionOf(*shards, first),
                             PositionOf(*shards, first + 2) - PositionOf(*shards, first)));
        for (size_t v = first; v < first + 3; ++v) {
            ASSERT_GT(Dot(NormalOf(*shards, v), PositionOf(*shards, v)), 0.0f) << "vertex " << v;
            ASSERT_NEAR(Dot(NormalOf(*shards, v), face), 1.0f, 1e-5f) << "vertex " << v;
        }
    }
}

TEST_F(MeshgenTest, OptionsShapeTheModel)
{
    Mesh* box = Generate("opt_box", {"box", "--width", "2", "--height", "3", "--depth", "5"});
    ASSERT_NE(box, nullptr);
    Float3 low{1e9f, 1e9f, 1e9f};
    Float3 high{-1e9f, -1e9f, -1e9f};
    for (size_t v = 0; v < box->vertexCount; ++v) {
        const Float3 p = PositionOf(*box, v);
        low = {std::min(low.x, p.x), std::min(low.y, p.y), std::min(low.z, p.z)};
        high = {std::max(high.x, p.x), std::max(high.y, p.y), std::max(high.z, p.z)};
    }
    EXPECT_FLOAT_EQ(low.x, -1.0f);
    EXPECT_FLOAT_EQ(high.x, 1.0f);
    EXPECT_FLOAT_EQ(low.y, 0.0f);  // stands on the ground
    EXPECT_FLOAT_EQ(high.y, 3.0f);
    EXPECT_FLOAT_EQ(low.z, -2.5f);
    EXPECT_FLOAT_EQ(high.z, 2.5f);

    Mesh* plane = Generate("opt_plane", {"plane", "--segments", "3", "--size", "6"});
    ASSERT_NE(plane, nullptr);
    EXPECT_EQ(plane->vertexCount, 3u * 3u * 2u * 3u);
    for (size_t v = 0; v < plane->vertexCount; ++v) {
        EXPECT_EQ(PositionOf(*plane, v).y, 0.0f);
        EXPECT_EQ(NormalOf(*plane, v).y, 1.0f);
        EXPECT_LE(std::fabs(PositionOf(*plane, v).x), 3.0f);
    }
}

TEST_F(MeshgenTest, CommandLineMistakesAreRefusedWithoutOutput)
{
    const std::vector<std::vector<std::string>> mistakes = {
        {},
        {"sphere"},
        {"teapot", "out.obj"},
        {"sphere", "out.obj", "--tube", "0.1"},
        {"sphere", "out.obj", "--segments", "0"},
        {"sphere", "out.obj", "--segments", "2.5"},
        {"sphere", "out.obj", "--segments", "99999999999999999999"},
        {"shards", "out.obj", "--subdivisions", "9"},
        {"box", "out.obj", "--width", "-1"},
        {"box", "out.obj", "--width", "inf"},
        {"box", "out.obj", "--width"},
        {"torusknot", "out.obj", "--turns", "2", "--twists", "4"},
        {"torusknot", "out.obj", "--tube", "1.5"},
    };
    for (const std::vector<std::string>& arguments : mistakes) {
        const ToolRun run = RunTool(Meshgen(), arguments);
        EXPECT_EQ(run.exitCode, 2) << testing::PrintToString(arguments);
        EXPECT_NE(run.err.find("meshgen: "), std::string::npos)
            << testing::PrintToString(arguments);
        EXPECT_FALSE(std::filesystem::exists("out.obj"));
    }
    const ToolRun unwritable = RunTool(Meshgen(), {"box", "missing/dir/out.obj"});
    EXPECT_EQ(unwritable.exitCode, 1);
    EXPECT_NE(unwritable.err.find("missing/dir/out.obj"), std::string::npos) << unwritable.err;
    const ToolRun help = RunTool(Meshgen(), {"--help"});
    EXPECT_EQ(help.exitCode, 0);
    EXPECT_NE(help.out.find("torusknot"), std::string::npos);
}
