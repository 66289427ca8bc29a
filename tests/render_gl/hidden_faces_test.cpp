// What the geometry pass leaves out: instances wholly outside the view, and
// the faces of closed meshes seen from outside that are turned away from
// the camera; the picture must not change for either.

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <numbers>

#include "render/gl/closed_surface.h"
#include "render/gl/hidden_faces.h"
#include "render/gl/pass_culling.h"
#include "tests/render_gl/gl_fixture.h"

namespace {

constexpr float kPi = std::numbers::pi_v<float>;

using Triangle = std::array<Vec3, 3>;

std::unique_ptr<Mesh> MeshOf(const std::vector<Triangle>& triangles, int strayVertices = 0)
{
    auto mesh = std::make_unique<Mesh>();
    mesh->AllocateArrays(static_cast<uint32_t>(3 * triangles.size() + strayVertices));
    std::fill_n(mesh->positions, 3 * mesh->vertexCount, 5.0f);
    float* out = mesh->positions;
    for (const Triangle& triangle : triangles) {
        for (const Vec3& p : triangle) {
            for (const float value : {p.x, p.y, p.z}) {
                *out++ = value;
            }
        }
    }
    return mesh;
}

// A cube around `centre`, every triangle wound anticlockwise seen from outside.
std::vector<Triangle> Cube(Vec3 centre = {}, float half = 0.5f)
{
    std::vector<Triangle> triangles;
    for (int axis = 0; axis < 3; ++axis) {
        for (const float side : {-1.0f, 1.0f}) {
            auto corner = [&](float u, float v) {
                float p[3];
                p[axis] = side * half;
                p[(axis + 1) % 3] = u * half;
                p[(axis + 2) % 3] = v * half;
                return Vec3{centre.x + p[0], centre.y + p[1], centre.z + p[2]};
            };
            const Triangle first{corner(-1, -1), corner(1, -1), corner(1, 1)};
            const Triangle second{corner(-1, -1), corner(1, 1), corner(-1, 1)};
            for (Triangle t : {first, second}) {
                if (side < 0.0f) {
                    std::swap(t[1], t[2]);
                }
                triangles.push_back(t);
            }
        }
    }
    return triangles;
}

std::vector<Triangle> Reversed(std::vector<Triangle> triangles)
{
    for (Triangle& t : triangles) {
        std::swap(t[1], t[2]);
    }
    return triangles;
}

int WindingOf(const std::vector<Triangle>& triangles, int strayVertices = 0)
{
    return ClosedSurfaceWinding(*MeshOf(triangles, strayVertices));
}

std::vector<Triangle> Joined(std::vector<Triangle> all, const std::vector<Triangle>& more)
{
    all.insert(all.end(), more.begin(), more.end());
    return all;
}

TEST(ClosedSurfaceTest, ClosedSurfacesGiveTheirWindingAndAnythingThatCanShowItsInsideGivesNone)
{
    const float nan = std::numeric_limits<float>::quiet_NaN();
    EXPECT_EQ(WindingOf(Cube()), 1);
    EXPECT_EQ(WindingOf(Reversed(Cube())), -1);
    EXPECT_EQ(WindingOf(Cube(Vec3{500, -300, 800}, 2.0f)), 1);
    EXPECT_EQ(WindingOf(Joined(Cube(), Cube(Vec3{3, 0, 0}))), 1) << "two closed parts wound alike";
    std::vector<Triangle> jittered = Cube();
    for (size_t i = 0; i < 3 * jittered.size(); ++i) {  // 1/100000 at most, either way
        jittered[i / 3][i % 3] = jittered[i / 3][i % 3].Times(1.0f + 1e-5f * std::sin(static_cast<float>(i)));
    }
    EXPECT_EQ(WindingOf(jittered), 1) << "corners a rounding error apart";
    EXPECT_EQ(WindingOf(Joined(Cube(), std::vector<Triangle>{{Vec3{}, Vec3{}, Vec3{1, 1, 1}}})), 1)
        << "a triangle without area draws nothing";
    EXPECT_EQ(WindingOf(Cube(), 2), 1) << "vertices short of a triangle are not drawn";

    std::vector<Triangle> open = Cube();
    open.pop_back();
    EXPECT_EQ(WindingOf(open), 0);
    EXPECT_EQ(WindingOf(Joined(Cube(), Reversed(Cube(Vec3{3, 0, 0})))), 0) << "parts wound both ways";
    EXPECT_EQ(WindingOf(Joined(Cube(), std::vector<Triangle>{Cube()[0]})), 0) << "an edge walked twice";
    const std::vector<Triangle> square{{Vec3{0, 0, 0}, Vec3{1, 0, 0}, Vec3{1, 1, 0}},
                                       {Vec3{0, 0, 0}, Vec3{1, 1, 0}, Vec3{0, 1, 0}}};
    EXPECT_EQ(WindingOf(Joined(square, Reversed(square))), 0) << "a two-sided sheet shows both sides";
    std::vector<Triangle> broken = Cube();
    broken[3][1].y = nan;
    EXPECT_EQ(WindingOf(broken), 0);
}

TEST(HiddenFacesTest, FacesAreLeftOutOnlyWhenTheCameraIsClearOfTheBounds)
{
    Matrix4 projection;
    MatrixPerspectiveFovLH(&projection, kPi / 2, 1.0f, 0.5f, 100.0f);
    const float reach = NearPlaneReach(projection);
    EXPECT_NEAR(reach, 0.5f * std::sqrt(3.0f), 1e-5f);
    auto placed = [](Vec3 position, Vec3 scale) {
        Matrix4 m;
        return *MatrixWorldTransform(&m, position, scale, Vec3{0.3f, 0.2f, 0.1f});
    };
    // Which winding goes with mirrors and inward surfaces: the frame test.
    // 1.5 away: clear of a unit bound, not of its near-plane reach; a
    // stretched bound takes the camera in.
    EXPECT_EQ(HiddenFacesOf(1, 1.0f, placed(Vec3{0, 0, 1.5f}, Vec3{1, 1, 1}), reach), HiddenFaces::kNone);
    EXPECT_EQ(HiddenFacesOf(1, 1.0f, placed(Vec3{0, 0, 2.5f}, Vec3{1, 1, 1}), reach),
              HiddenFaces::kCounterClockwise);
    EXPECT_EQ(HiddenFacesOf(1, 1.0f, placed(Vec3{0, 0, 2.5f}, Vec3{0.2f, 2.0f, 0.2f}), reach), HiddenFaces::kNone);
    EXPECT_EQ(HiddenFacesOf(1, 1.0f, placed(Vec3{0, 0, 5}, Vec3{1, 0, 1}), reach), HiddenFaces::kNone)
        << "a flattened instance shows both sides";
}

// A unit-radius mesh placed by translation and scale, seen by a camera at
// the origin looking along +z (70 degrees high, 16:9, near 0.05, far 30):
// an instance stays when any part of its bounding sphere may show.
TEST(PassCullingTest, InstancesWhollyOutsideTheViewAreLeftOutTheRestKeepTheirOrder)
{
    GpuMesh mesh;
    mesh.radius = 1.0f;
    std::vector<std::unique_ptr<Matrix4>> models;
    std::vector<std::unique_ptr<RenderInstance>> records;
    std::vector<RenderInstance*> instances;
    const auto place = [&](Vec3 at, float scale = 1.0f) {
        models.push_back(std::make_unique<Matrix4>());
        MatrixWorldTransform(models.back().get(), at, Vec3{scale, scale, scale}, Vec3{});
        records.push_back(std::make_unique<RenderInstance>());
        records.back()->gpuMesh = &mesh;
        records.back()->modelMatrix = models.back().get();
        instances.push_back(records.back().get());
        return records.back().get();
    };
    Matrix4 view;
    Matrix4 projection;
    Matrix4 viewProjection;
    MatrixIdentity(&view);
    MatrixPerspectiveFovLH(&projection, 1.2217305f, 16.0f / 9.0f, 0.05f, 30.0f);
    MatrixMultiply(&viewProjection, &view, &projection);

    RenderInstance* ahead = place({0, 0, 10});
    place({0, 0, -5});                                   // behind the camera
    RenderInstance* besideTheEye = place({0, 0, -0.5f});  // reaches past the near plane
    place({0, 0, 31.5f});                                // beyond the far plane
    RenderInstance* reachingIn = place({0, 0, 30.5f});    // its near side within it
    place({0, 9, 10});                                   // above the top edge (7.0 at z = 10)
    RenderInstance* overTheTop = place({0, 7.9f, 10});    // its lower side below it
    place({-16, 0, 10});                                 // left of the left edge (12.45 at z = 10)
    RenderInstance* grown = place({-16, 0, 10}, 3.0f);   // the same, three times as large
    instances.insert(instances.begin() + 1, nullptr);   // reported by the caller
    Matrix4 broken;
    broken.m[3][0] = std::numeric_limits<float>::quiet_NaN();
    records.push_back(std::make_unique<RenderInstance>());
    records.back()->gpuMesh = &mesh;
    records.back()->modelMatrix = &broken;
    instances.push_back(records.back().get());

    const std::vector<RenderInstance*> expected = {ahead,      nullptr,    besideTheEye,         reachingIn,
                                                   overTheTop, grown,      records.back().get()};
    EXPECT_EQ(InView(instances, viewProjection), expected);
}

class HiddenFacesFrameTest : public GlFixture {
protected:
    // The fixture's cube wound one way throughout (its top and bottom faces
    // are wound against the others), less one face or none; a room's
    // normals point into it.
    Mesh* Variant(const Mesh& cube, bool inwards, int droppedFace, bool room)
    {
        auto mesh = std::make_unique<Mesh>();
        mesh->AllocateArrays(cube.vertexCount - (droppedFace >= 0 ? 6 : 0));
        mesh->name = "variant" + std::to_string(meshes.size());
        uint32_t to = 0;
        for (uint32_t from = 0; from < cube.vertexCount; ++from) {
            if (static_cast<int>(from / 6) == droppedFace) {
                continue;
            }
            // Reversed: the second and third corner of a triangle trade places.
            const bool reversed = (from / 6 >= 4) != inwards;
            const uint32_t source = reversed && from % 3 != 0 ? from - from % 3 + 3 - from % 3 : from;
            for (float* Mesh::*array : {&Mesh::positions, &Mesh::normals, &Mesh::tangents, &Mesh::binormals}) {
                std::copy_n(cube.*array + 3 * source, 3, mesh.get()->*array + 3 * to);
            }
            std::copy_n(cube.texcoords + 2 * source, 2, mesh->texcoords + 2 * to);
            for (int k = 0; room && k < 3; ++k) {
                mesh->normals[3 * to + k] = -mesh->normals[3 * to + k];
            }
            ++to;
        }
        renderer->CreateMesh(mesh.get());
        meshes.push_back(std::move(mesh));
        return meshes.back().get();
    }

    // The picture with `shown` in place and `hidden` out of sight far behind.
    Frame RenderWith(SceneObject* shown, SceneObject* hidden, Vec3 place)
    {
        shown->position = place;
        hidden->position = Vec3{0, 0, -1000};
        return Render();
    }
};

int PixelsApart(const Frame& a, const Frame& b)
{
    int apart = 0;
    for (int y = 0; y < a.height; ++y) {
        for (int x = 0; x < a.width; ++x) {
            const Pixel p = a.At(x, y);
            const Pixel q = b.At(x, y);
            apart += std::abs(p.r - q.r) + std::abs(p.g - q.g) + std::abs(p.b - q.b) > 24 ? 1 : 0;
        }
    }
    return apart;
}

TEST_F(HiddenFacesFrameTest, AClosedMeshDrawsTheSamePictureAsTheSameMeshLeftOpen)
{
    ASSERT_EQ(StartRenderer(), 0);
    SolidMaterial("grey", 180, 170, 160);
    AddLight(Vec3{1.5f, 1.0f, 0.5f});
    LookFromOrigin();
    Mesh* cube = Cube();
    struct Case {
        const char* what;
        bool reversed;
        Vec3 place;
        Vec3 scale;
        int droppedFace;  // one the camera cannot see
        bool room;
    };
    const Case cases[] = {
        {"outside", false, Vec3{0.3f, 0.2f, 3}, Vec3{1.2f, 1.2f, 1.2f}, 1, false},
        {"outside, mirrored", false, Vec3{0.3f, 0.2f, 3}, Vec3{-1.2f, 1.2f, 1.2f}, 1, false},
        {"outside, wound inwards", true, Vec3{0.3f, 0.2f, 3}, Vec3{1.2f, 1.2f, 1.2f}, 1, false},
        {"inside", false, Vec3{0, 0, 0}, Vec3{8, 8, 8}, 0, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        Mesh* closed = Variant(*cube, c.reversed, -1, c.room);
        ASSERT_EQ(ClosedSurfaceWinding(*closed), c.reversed ? -1 : 1);
        SceneObject* whole = AddObject(closed, "grey", Vec3{}, c.scale, Vec3{kPi / 5, 0.3f, 0});
        SceneObject* open = AddObject(Variant(*cube, c.reversed, c.droppedFace, c.room), "grey", Vec3{}, c.scale,
                                      Vec3{kPi / 5, 0.3f, 0});
        const Frame closedFrame = RenderWith(whole, open, c.place);
        const Frame openFrame = RenderWith(open, whole, c.place);
        EXPECT_GT(closedFrame.MeanSum(60, 40, 100, 80), 60.0) << "the cube shows";
        // At most a pixel or two on the outline, where a far face tied with a near one.
        EXPECT_LE(PixelsApart(closedFrame, openFrame), 3);
        whole->position = open->position = Vec3{0, 0, -1000};
    }

    // Vertices rewritten during the show (a mesh shattering) can open the
    // surface: a lit room whose near wall flies off shows its inside.
    Mesh* room = Variant(*cube, false, -1, true);
    SceneObject* pieces = AddObject(room, "grey", Vec3{0, 0, 4}, Vec3{2, 2, 2});
    AddLight(Vec3{0, 0, 4});
    for (uint32_t v = 0; v < 6; ++v) {
        room->positions[3 * v] += 0.9f;  // still within the room's bounds
    }
    pieces->dirty = 1;
    EXPECT_GT(Render().MeanSum(66, 52, 76, 68), 60.0) << "the inside shows through the gap";
}

}  // namespace
