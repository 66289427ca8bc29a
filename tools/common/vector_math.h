#pragma once
// Small vector types for the content tools' geometry, with the handful of
// operations that mesh building needs.

#include <cmath>

struct Float2 {
    float x = 0.0f;
    float y = 0.0f;
};

struct Float3 {
    float x = 0.0f;
    float y = 0.0f;
    float z = 0.0f;
};

inline Float3 operator+(Float3 a, Float3 b)
{
    return {a.x + b.x, a.y + b.y, a.z + b.z};
}
inline Float3 operator-(Float3 a, Float3 b)
{
    return {a.x - b.x, a.y - b.y, a.z - b.z};
}
inline Float3 operator-(Float3 a)
{
    return {-a.x, -a.y, -a.z};
}
inline Float3 operator*(Float3 a, float s)
{
    return {a.x * s, a.y * s, a.z * s};
}
inline Float3 operator*(float s, Float3 a)
{
    return a * s;
}
inline Float2 operator-(Float2 a, Float2 b)
{
    return {a.x - b.x, a.y - b.y};
}

inline float Dot(Float3 a, Float3 b)
{
    return a.x * b.x + a.y * b.y + a.z * b.z;
}
inline Float3 Cross(Float3 a, Float3 b)
{
    return {a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x};
}
inline float Length(Float3 a)
{
    return std::sqrt(Dot(a, a));
}
inline bool IsFinite(Float3 a)
{
    return std::isfinite(a.x) && std::isfinite(a.y) && std::isfinite(a.z);
}

// The vector scaled to unit length; a zero or non-finite vector gives zero.
inline Float3 Normalized(Float3 a)
{
    const float length = Length(a);
    if (!(length > 0.0f) || !std::isfinite(length)) {
        return {};
    }
    return a * (1.0f / length);
}
