#pragma once
#include <cmath>
#include <type_traits>

// Three floats, x, y, z: positions, directions and normals in vertex data and files.
struct PVector3 {
    float x;
    float y;
    float z;

    bool operator==(const PVector3&) const = default;
};
static_assert(sizeof(PVector3) == 12 && std::is_standard_layout_v<PVector3> && std::is_trivially_copyable_v<PVector3>);

inline PVector3 operator+(const PVector3& a, const PVector3& b) { return {a.x + b.x, a.y + b.y, a.z + b.z}; }
inline PVector3 operator-(const PVector3& a, const PVector3& b) { return {a.x - b.x, a.y - b.y, a.z - b.z}; }
inline PVector3 operator-(const PVector3& v) { return {-v.x, -v.y, -v.z}; }
inline PVector3 operator*(const PVector3& v, float s) { return {v.x * s, v.y * s, v.z * s}; }
inline PVector3 operator*(float s, const PVector3& v) { return v * s; }
inline PVector3 operator/(const PVector3& v, float s) { return {v.x / s, v.y / s, v.z / s}; }
inline PVector3& operator+=(PVector3& a, const PVector3& b) { return a = a + b; }
inline PVector3& operator-=(PVector3& a, const PVector3& b) { return a = a - b; }
inline PVector3& operator*=(PVector3& v, float s) { return v = v * s; }
inline PVector3& operator/=(PVector3& v, float s) { return v = v / s; }

inline float Vec3Dot(const PVector3& a, const PVector3& b) { return a.x * b.x + a.y * b.y + a.z * b.z; }
inline float Vec3LengthSq(const PVector3& v) { return Vec3Dot(v, v); }
inline float Vec3Length(const PVector3& v) { return std::sqrt(Vec3LengthSq(v)); }

inline PVector3 Vec3Cross(const PVector3& a, const PVector3& b)
{
    return {a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x};
}

// Unit vector in the direction of v; a zero vector stays zero.
inline PVector3 Vec3Normalize(const PVector3& v)
{
    const float length = Vec3Length(v);
    return length > 0.0f ? v / length : PVector3{0.0f, 0.0f, 0.0f};
}

inline PVector3 Vec3Lerp(const PVector3& a, const PVector3& b, float t) { return a + (b - a) * t; }

