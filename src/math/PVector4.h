#pragma once
#include <cmath>
#include <type_traits>

// Four floats, x, y, z, w: homogeneous points and directions.
struct PVector4 {
    float x;
    float y;
    float z;
    float w;

    bool operator==(const PVector4&) const = default;
};
static_assert(sizeof(PVector4) == 16 && std::is_standard_layout_v<PVector4> && std::is_trivially_copyable_v<PVector4>);

inline PVector4 operator+(const PVector4& a, const PVector4& b) { return {a.x + b.x, a.y + b.y, a.z + b.z, a.w + b.w}; }
inline PVector4 operator-(const PVector4& a, const PVector4& b) { return {a.x - b.x, a.y - b.y, a.z - b.z, a.w - b.w}; }
inline PVector4 operator-(const PVector4& v) { return {-v.x, -v.y, -v.z, -v.w}; }
inline PVector4 operator*(const PVector4& v, float s) { return {v.x * s, v.y * s, v.z * s, v.w * s}; }
inline PVector4 operator*(float s, const PVector4& v) { return v * s; }
inline PVector4 operator/(const PVector4& v, float s) { return {v.x / s, v.y / s, v.z / s, v.w / s}; }
inline PVector4& operator+=(PVector4& a, const PVector4& b) { return a = a + b; }
inline PVector4& operator-=(PVector4& a, const PVector4& b) { return a = a - b; }
inline PVector4& operator*=(PVector4& v, float s) { return v = v * s; }
inline PVector4& operator/=(PVector4& v, float s) { return v = v / s; }

inline float Vec4Dot(const PVector4& a, const PVector4& b) { return a.x * b.x + a.y * b.y + a.z * b.z + a.w * b.w; }
inline float Vec4LengthSq(const PVector4& v) { return Vec4Dot(v, v); }
inline float Vec4Length(const PVector4& v) { return std::sqrt(Vec4LengthSq(v)); }

// Unit vector in the direction of v; a zero vector stays zero.
inline PVector4 Vec4Normalize(const PVector4& v)
{
    const float length = Vec4Length(v);
    return length > 0.0f ? v / length : PVector4{0.0f, 0.0f, 0.0f, 0.0f};
}

inline PVector4 Vec4Lerp(const PVector4& a, const PVector4& b, float t) { return a + (b - a) * t; }
