#pragma once
#include <cmath>
#include <type_traits>

// Two floats, x then y: the layout of texture coordinates in vertex data and files.
struct PVector2 {
    float x;
    float y;

    bool operator==(const PVector2&) const = default;
};
static_assert(sizeof(PVector2) == 8 && std::is_standard_layout_v<PVector2> && std::is_trivially_copyable_v<PVector2>);

inline PVector2 operator+(const PVector2& a, const PVector2& b) { return {a.x + b.x, a.y + b.y}; }
inline PVector2 operator-(const PVector2& a, const PVector2& b) { return {a.x - b.x, a.y - b.y}; }
inline PVector2 operator-(const PVector2& v) { return {-v.x, -v.y}; }
inline PVector2 operator*(const PVector2& v, float s) { return {v.x * s, v.y * s}; }
inline PVector2 operator*(float s, const PVector2& v) { return v * s; }
inline PVector2 operator/(const PVector2& v, float s) { return {v.x / s, v.y / s}; }
inline PVector2& operator+=(PVector2& a, const PVector2& b) { return a = a + b; }
inline PVector2& operator-=(PVector2& a, const PVector2& b) { return a = a - b; }
inline PVector2& operator*=(PVector2& v, float s) { return v = v * s; }
inline PVector2& operator/=(PVector2& v, float s) { return v = v / s; }

inline float Vec2Dot(const PVector2& a, const PVector2& b) { return a.x * b.x + a.y * b.y; }
inline float Vec2LengthSq(const PVector2& v) { return Vec2Dot(v, v); }
inline float Vec2Length(const PVector2& v) { return std::sqrt(Vec2LengthSq(v)); }

// Unit vector in the direction of v; a zero vector stays zero.
inline PVector2 Vec2Normalize(const PVector2& v)
{
    const float length = Vec2Length(v);
    return length > 0.0f ? v / length : PVector2{0.0f, 0.0f};
}

inline PVector2 Vec2Lerp(const PVector2& a, const PVector2& b, float t) { return a + (b - a) * t; }
