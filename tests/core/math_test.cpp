#include <gtest/gtest.h>

#include <cmath>
#include <numbers>

#include "core/math.h"
#include "tests/support/test_support.h"

namespace {

constexpr float kPi = std::numbers::pi_v<float>;

void ExpectIdentity(const Matrix4& m, float tolerance = 1e-5f)
{
    for (int row = 0; row < 4; ++row) {
        for (int col = 0; col < 4; ++col) {
            EXPECT_NEAR(m.m[row][col], row == col ? 1.0f : 0.0f, tolerance) << row << "," << col;
        }
    }
}

// p * M with the full homogeneous divide, as the rasteriser does it.
Vec3 Project(const Vec3& p, const Matrix4& m)
{
    const Vec3 v = TransformCoord(p, m);
    const float w = p.x * m.m[0][3] + p.y * m.m[1][3] + p.z * m.m[2][3] + m.m[3][3];
    return Vec3{v.x / w, v.y / w, v.z / w};
}

}  // namespace

TEST(Vec3Test, NormalizeLeavesZeroAlone)
{
    ExpectVec(Vec3{3, 0, 4}.Normalize(), 0.6f, 0.0f, 0.8f);
    ExpectVec(Vec3{}.Normalize(), 0, 0, 0, 0.0f);
}

// Products and turns are checked through the camera's orientation (ActorTest).
TEST(QuaternionTest, ZeroGivesTheIdentityAndANullMatrixIsRefused)
{
    Matrix4 m;
    Quaternion{}.ToMatrix(&m);
    ExpectIdentity(m, 0.0f);
    EXPECT_EQ(Quaternion{}.ToMatrix(nullptr), nullptr);
}

TEST(MatrixTest, TranslationScalingAndOrderOfProducts)
{
    Matrix4 t;
    Matrix4 s;
    MatrixTranslation(&t, 10, 20, 30);
    MatrixScaling(&s, 2, 3, 4);
    // A then B is A * B: scale then translate differs from the reverse.
    Matrix4 st;
    Matrix4 ts;
    MatrixMultiply(&st, &s, &t);
    MatrixMultiply(&ts, &t, &s);
    ExpectVec(TransformCoord(Vec3{1, 1, 1}, st), 12, 23, 34);
    ExpectVec(TransformCoord(Vec3{1, 1, 1}, ts), 22, 63, 124);

    // The output may alias both operands: two quarter turns make a half turn.
    Matrix4 r;
    MatrixRotationYawPitchRoll(&r, kPi / 2, 0, 0);
    MatrixMultiply(&r, &r, &r);
    ExpectVec(TransformCoord(Vec3{1, 0, 1}, r), -1, 0, -1);
}

TEST(MatrixTest, YawPitchRollAxesAndOrder)
{
    Matrix4 r;
    // Yaw turns about the vertical axis: +x goes to -z (left-handed).
    MatrixRotationYawPitchRoll(&r, kPi / 2, 0, 0);
    ExpectVec(TransformCoord(Vec3{1, 0, 0}, r), 0, 0, -1);
    // Pitch turns about x: +y goes to +z.
    MatrixRotationYawPitchRoll(&r, 0, kPi / 2, 0);
    ExpectVec(TransformCoord(Vec3{0, 1, 0}, r), 0, 0, 1);
    // Roll turns about z: +x goes to +y.
    MatrixRotationYawPitchRoll(&r, 0, 0, kPi / 2);
    ExpectVec(TransformCoord(Vec3{1, 0, 0}, r), 0, 1, 0);
    // Roll first, then pitch, then yaw: +y rolls to -x, which pitch keeps and yaw turns to +z.
    MatrixRotationYawPitchRoll(&r, kPi / 2, kPi / 2, kPi / 2);
    ExpectVec(TransformCoord(Vec3{0, 1, 0}, r), 0, 0, 1);
}

TEST(MatrixTest, WorldTransformScalesThenRotatesThenTranslates)
{
    Matrix4 world;
    MatrixWorldTransform(&world, Vec3{10, 0, 0}, Vec3{2, 3, 4}, Vec3{kPi / 2, 0, 0});
    ExpectVec(TransformCoord(Vec3{1, 0, 0}, world), 10, 0, -2);

    // A zero scale collapses everything onto the position.
    MatrixWorldTransform(&world, Vec3{1, 2, 3}, Vec3{0, 0, 0}, Vec3{0.3f, 0.2f, 0.1f});
    ExpectVec(TransformCoord(Vec3{5, -7, 9}, world), 1, 2, 3);
}

TEST(MatrixTest, InverseAndSingularMatrices)
{
    Matrix4 world;
    MatrixWorldTransform(&world, Vec3{1, -2, 3}, Vec3{2, 0.5f, 3}, Vec3{0.4f, -0.3f, 1.2f});
    Matrix4 inverse;
    float determinant = 0;
    ASSERT_EQ(MatrixInverse(&inverse, &determinant, &world), &inverse);
    EXPECT_NEAR(determinant, 3.0f, 1e-4f);  // product of the scale factors
    Matrix4 product;
    MatrixMultiply(&product, &world, &inverse);
    ExpectIdentity(product, 1e-5f);

    Matrix4 flat;
    MatrixScaling(&flat, 1, 0, 1);
    Matrix4 untouched;
    MatrixTranslation(&untouched, 7, 7, 7);
    EXPECT_EQ(MatrixInverse(&untouched, nullptr, &flat), nullptr);
    EXPECT_EQ(untouched.m[3][0], 7.0f);
}

TEST(MatrixTest, PerspectiveMapsDepthToZeroOne)
{
    Matrix4 p;
    MatrixPerspectiveFovLH(&p, kPi / 2, 2.0f, 1.0f, 101.0f);
    EXPECT_NEAR(Project(Vec3{0, 0, 1}, p).z, 0.0f, 1e-6f);
    EXPECT_NEAR(Project(Vec3{0, 0, 101}, p).z, 1.0f, 1e-6f);
    // The edge of the vertical field of view lands on the edge of the picture.
    EXPECT_NEAR(Project(Vec3{0, 10, 10}, p).y, 1.0f, 1e-6f);
    EXPECT_NEAR(Project(Vec3{20, 0, 10}, p).x, 1.0f, 1e-6f);
}

TEST(MatrixTest, LookAtPutsTheTargetOnThePositiveZAxis)
{
    Matrix4 view;
    const Vec3 eye{5, 0, 0};
    const Vec3 at{0, 0, 0};
    const Vec3 up{0, 1, 0};
    MatrixLookAtLH(&view, &eye, &at, &up);
    ExpectVec(TransformCoord(at, view), 0, 0, 5);
    // Looking along -x with y up, +z is to the right in a left-handed view.
    ExpectVec(TransformCoord(Vec3{0, 0, 1}, view), 1, 0, 5);
}
