#include "core/math.h"

#include <cmath>
#include <ostream>

std::ostream& operator<<(std::ostream& out, const Vec3& v)
{
    return out << "{ " << v.x << " , " << v.y << " , " << v.z << " }";
}

Quaternion& Quaternion::Clear()
{
    x = y = z = w = 0.0f;
    return *this;
}

Quaternion& Quaternion::FromAxisAngle(float ax, float ay, float az, float angle)
{
    const double half = static_cast<double>(angle) * 0.5;
    const float s = static_cast<float>(std::sin(half));
    x = s * ax;
    y = s * ay;
    z = s * az;
    w = static_cast<float>(std::cos(half));
    return *this;
}

Quaternion& Quaternion::Multiply(Quaternion& out, float x2, float y2, float z2, float w2) const
{
    const Quaternion a = *this;  // out may be this object
    out.x = a.x * w2 + a.y * z2 + a.w * x2 - a.z * y2;
    out.y = a.w * y2 + a.y * w2 - a.x * z2 + a.z * x2;
    out.z = a.z * w2 + a.x * y2 + a.w * z2 - a.y * x2;
    out.w = a.w * w2 - a.x * x2 - a.y * y2 - a.z * z2;
    return out;
}

Matrix4* Quaternion::ToMatrix(Matrix4* out) const
{
    if (!out) {
        return nullptr;
    }
    float(&r)[4][4] = out->m;
    r[0][0] = 1.0f - 2.0f * (y * y + z * z);
    r[0][1] = 2.0f * (x * y + w * z);
    r[0][2] = 2.0f * (x * z - w * y);
    r[0][3] = 0.0f;
    r[1][0] = 2.0f * (x * y - w * z);
    r[1][1] = 1.0f - 2.0f * (x * x + z * z);
    r[1][2] = 2.0f * (y * z + w * x);
    r[1][3] = 0.0f;
    r[2][0] = 2.0f * (x * z + w * y);
    r[2][1] = 2.0f * (y * z - w * x);
    r[2][2] = 1.0f - 2.0f * (x * x + y * y);
    r[2][3] = 0.0f;
    r[3][0] = 0.0f;
    r[3][1] = 0.0f;
    r[3][2] = 0.0f;
    r[3][3] = 1.0f;
    return out;
}

float Dot(const Vec3& a, const Vec3& b)
{
    return a.x * b.x + a.y * b.y + a.z * b.z;
}

Vec3 Cross(const Vec3& a, const Vec3& b)
{
    return Vec3{a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x};
}

Vec3 Subtract(const Vec3& a, const Vec3& b)
{
    return Vec3{a.x - b.x, a.y - b.y, a.z - b.z};
}

Matrix4* MatrixIdentity(Matrix4* out)
{
    *out = Matrix4{};
    for (int i = 0; i < 4; ++i) {
        out->m[i][i] = 1.0f;
    }
    return out;
}

Matrix4* MatrixTranslation(Matrix4* out, float x, float y, float z)
{
    MatrixIdentity(out);
    out->m[3][0] = x;
    out->m[3][1] = y;
    out->m[3][2] = z;
    return out;
}

Matrix4* MatrixScaling(Matrix4* out, float sx, float sy, float sz)
{
    *out = Matrix4{};
    out->m[0][0] = sx;
    out->m[1][1] = sy;
    out->m[2][2] = sz;
    out->m[3][3] = 1.0f;
    return out;
}

namespace {

Matrix4 RotationX(float angle)
{
    Matrix4 r;
    MatrixIdentity(&r);
    const float c = std::cos(angle);
    const float s = std::sin(angle);
    r.m[1][1] = c;
    r.m[1][2] = s;
    r.m[2][1] = -s;
    r.m[2][2] = c;
    return r;
}

Matrix4 RotationY(float angle)
{
    Matrix4 r;
    MatrixIdentity(&r);
    const float c = std::cos(angle);
    const float s = std::sin(angle);
    r.m[0][0] = c;
    r.m[0][2] = -s;
    r.m[2][0] = s;
    r.m[2][2] = c;
    return r;
}

Matrix4 RotationZ(float angle)
{
    Matrix4 r;
    MatrixIdentity(&r);
    const float c = std::cos(angle);
    const float s = std::sin(angle);
    r.m[0][0] = c;
    r.m[0][1] = s;
    r.m[1][0] = -s;
    r.m[1][1] = c;
    return r;
}

}  // namespace

Matrix4* MatrixRotationYawPitchRoll(Matrix4* out, float yaw, float pitch, float roll)
{
    const Matrix4 z = RotationZ(roll);
    const Matrix4 x = RotationX(pitch);
    const Matrix4 y = RotationY(yaw);
    Matrix4 zx;
    MatrixMultiply(&zx, &z, &x);
    return MatrixMultiply(out, &zx, &y);
}

Matrix4* MatrixMultiply(Matrix4* out, const Matrix4* a, const Matrix4* b)
{
    Matrix4 product;
    for (int row = 0; row < 4; ++row) {
        for (int col = 0; col < 4; ++col) {
            float sum = 0.0f;
            for (int k = 0; k < 4; ++k) {
                sum += a->m[row][k] * b->m[k][col];
            }
            product.m[row][col] = sum;
        }
    }
    *out = product;
    return out;
}

Matrix4* MatrixInverse(Matrix4* out, float* determinant, const Matrix4* m)
{
    // Cofactor expansion in double precision over the 2x2 minors of the
    // upper and lower row pairs.
    double a[16];
    for (int i = 0; i < 16; ++i) {
        a[i] = m->m[i / 4][i % 4];
    }
    const double s0 = a[0] * a[5] - a[4] * a[1];
    const double s1 = a[0] * a[6] - a[4] * a[2];
    const double s2 = a[0] * a[7] - a[4] * a[3];
    const double s3 = a[1] * a[6] - a[5] * a[2];
    const double s4 = a[1] * a[7] - a[5] * a[3];
    const double s5 = a[2] * a[7] - a[6] * a[3];
    const double c5 = a[10] * a[15] - a[14] * a[11];
    const double c4 = a[9] * a[15] - a[13] * a[11];
    const double c3 = a[9] * a[14] - a[13] * a[10];
    const double c2 = a[8] * a[15] - a[12] * a[11];
    const double c1 = a[8] * a[14] - a[12] * a[10];
    const double c0 = a[8] * a[13] - a[12] * a[9];
    const double det = s0 * c5 - s1 * c4 + s2 * c3 + s3 * c2 - s4 * c1 + s5 * c0;
    if (determinant) {
        *determinant = static_cast<float>(det);
    }
    if (det == 0.0 || !std::isfinite(det)) {
        return nullptr;
    }
    const double k = 1.0 / det;
    const double inv[16] = {
        (a[5] * c5 - a[6] * c4 + a[7] * c3) * k,
        (-a[1] * c5 + a[2] * c4 - a[3] * c3) * k,
        (a[13] * s5 - a[14] * s4 + a[15] * s3) * k,
        (-a[9] * s5 + a[10] * s4 - a[11] * s3) * k,
        (-a[4] * c5 + a[6] * c2 - a[7] * c1) * k,
        (a[0] * c5 - a[2] * c2 + a[3] * c1) * k,
        (-a[12] * s5 + a[14] * s2 - a[15] * s1) * k,
        (a[8] * s5 - a[10] * s2 + a[11] * s1) * k,
        (a[4] * c4 - a[5] * c2 + a[7] * c0) * k,
        (-a[0] * c4 + a[1] * c2 - a[3] * c0) * k,
        (a[12] * s4 - a[13] * s2 + a[15] * s0) * k,
        (-a[8] * s4 + a[9] * s2 - a[11] * s0) * k,
        (-a[4] * c3 + a[5] * c1 - a[6] * c0) * k,
        (a[0] * c3 - a[1] * c1 + a[2] * c0) * k,
        (-a[12] * s3 + a[13] * s1 - a[14] * s0) * k,
        (a[8] * s3 - a[9] * s1 + a[10] * s0) * k,
    };
    for (int i = 0; i < 16; ++i) {
        out->m[i / 4][i % 4] = static_cast<float>(inv[i]);
    }
    return out;
}

Matrix4* MatrixTranspose(Matrix4* out, const Matrix4* m)
{
    Matrix4 t;
    for (int row = 0; row < 4; ++row) {
        for (int col = 0; col < 4; ++col) {
            t.m[row][col] = m->m[col][row];
        }
    }
    *out = t;
    return out;
}

Matrix4* MatrixPerspectiveFovLH(Matrix4* out, float fovY, float aspect, float zNear, float zFar)
{
    const float yScale = 1.0f / std::tan(fovY * 0.5f);
    const float xScale = yScale / aspect;
    *out = Matrix4{};
    out->m[0][0] = xScale;
    out->m[1][1] = yScale;
    out->m[2][2] = zFar / (zFar - zNear);
    out->m[2][3] = 1.0f;
    out->m[3][2] = -zNear * zFar / (zFar - zNear);
    return out;
}

Matrix4* MatrixLookAtLH(Matrix4* out, const Vec3* eye, const Vec3* at, const Vec3* up)
{
    Vec3 zAxis = Subtract(*at, *eye);
    zAxis.Normalize();
    Vec3 xAxis = Cross(*up, zAxis);
    xAxis.Normalize();
    const Vec3 yAxis = Cross(zAxis, xAxis);
    MatrixIdentity(out);
    const Vec3 axes[3] = {xAxis, yAxis, zAxis};
    for (int col = 0; col < 3; ++col) {
        out->m[0][col] = axes[col].x;
        out->m[1][col] = axes[col].y;
        out->m[2][col] = axes[col].z;
        out->m[3][col] = -Dot(axes[col], *eye);
    }
    return out;
}

Vec3 TransformCoord(const Vec3& p, const Matrix4& m)
{
    return Vec3{p.x * m.m[0][0] + p.y * m.m[1][0] + p.z * m.m[2][0] + m.m[3][0],
                p.x * m.m[0][1] + p.y * m.m[1][1] + p.z * m.m[2][1] + m.m[3][1],
                p.x * m.m[0][2] + p.y * m.m[1][2] + p.z * m.m[2][2] + m.m[3][2]};
}

Matrix4* MatrixWorldTransform(Matrix4* out, const Vec3& position, const Vec3& scale,
                              const Vec3& rotation)
{
    Matrix4 s;
    Matrix4 r;
    Matrix4 t;
    MatrixScaling(&s, scale.x, scale.y, scale.z);
    MatrixRotationYawPitchRoll(&r, rotation.x, rotation.y, rotation.z);
    MatrixTranslation(&t, position.x, position.y, position.z);
    MatrixMultiply(out, &s, &r);
    return MatrixMultiply(out, out, &t);
}
