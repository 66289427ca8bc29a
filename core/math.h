#pragma once
// Geometry value types and the matrix functions of the renderer.
// Conventions throughout: row vectors (p' = p * M), matrices multiplied left
// to right (A then B is A * B), left-handed coordinates, depth mapped to 0..1.

#include <cmath>
#include <cstdint>
#include <iosfwd>

// Defined here so that per-vertex loops keep the components in registers.
struct Vec3 {
    float x = 0.0f;
    float y = 0.0f;
    float z = 0.0f;

    Vec3& Set(float nx, float ny, float nz)
    {
        x = nx;
        y = ny;
        z = nz;
        return *this;
    }
    Vec3& Clear() { return Set(0.0f, 0.0f, 0.0f); }
    Vec3 Plus(float dx, float dy, float dz) const { return Vec3{x + dx, y + dy, z + dz}; }
    Vec3 Times(float s) const { return Vec3{x * s, y * s, z * s}; }
    Vec3& Add(float dx, float dy, float dz) { return Set(x + dx, y + dy, z + dz); }
    Vec3& Scale(float s) { return Set(x * s, y * s, z * s); }
    // Scales to unit length; a zero vector stays zero.
    Vec3& Normalize()
    {
        const float length = std::sqrt(x * x + y * y + z * z);
        return length == 0.0f ? *this : Scale(1.0f / length);
    }
};

// The vector as log lines show it: "{ x , y , z }", each float with six
// significant digits.
std::ostream& operator<<(std::ostream& out, const Vec3& v);

struct Matrix4 {
    // m[row][column]; the translation sits in row 3, columns 0..2.
    float m[4][4] = {};
};

struct Quaternion {
    float x = 0.0f;
    float y = 0.0f;
    float z = 0.0f;
    float w = 0.0f;

    Quaternion& Clear();
    // Rotation by angle (radians) about the axis, which is used as given.
    Quaternion& FromAxisAngle(float ax, float ay, float az, float angle);
    // out = this (x) q2, the Hamilton product with this as the left operand.
    Quaternion& Multiply(Quaternion& out, float x2, float y2, float z2, float w2) const;
    // Writes the row-vector rotation matrix; null when out is null.
    Matrix4* ToMatrix(Matrix4* out) const;
};

float Dot(const Vec3& a, const Vec3& b);
Vec3 Cross(const Vec3& a, const Vec3& b);
Vec3 Subtract(const Vec3& a, const Vec3& b);

// Each matrix function writes into out and returns it.
Matrix4* MatrixIdentity(Matrix4* out);
Matrix4* MatrixTranslation(Matrix4* out, float x, float y, float z);
Matrix4* MatrixScaling(Matrix4* out, float sx, float sy, float sz);
// Roll about z first, then pitch about x, then yaw about y.
Matrix4* MatrixRotationYawPitchRoll(Matrix4* out, float yaw, float pitch, float roll);
// out = a * b; out may alias a or b.
Matrix4* MatrixMultiply(Matrix4* out, const Matrix4* a, const Matrix4* b);
// Null (out untouched) when m is singular; determinant may be null.
Matrix4* MatrixInverse(Matrix4* out, float* determinant, const Matrix4* m);
// out may alias m.
Matrix4* MatrixTranspose(Matrix4* out, const Matrix4* m);
Matrix4* MatrixPerspectiveFovLH(Matrix4* out, float fovY, float aspect, float zNear, float zFar);
Matrix4* MatrixLookAtLH(Matrix4* out, const Vec3* eye, const Vec3* at, const Vec3* up);

// The world transform of an entity: scale, then rotate (yaw, pitch, roll
// taken from rotation.x, .y, .z), then translate.
Matrix4* MatrixWorldTransform(Matrix4* out, const Vec3& position, const Vec3& scale,
                              const Vec3& rotation);

// p * M for a point (w = 1), dropping the resulting w.
Vec3 TransformCoord(const Vec3& p, const Matrix4& m);
