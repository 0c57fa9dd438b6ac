#pragma once
#include <cmath>

// The physics engine's own small algebra. A vector is four floats: x, y, z and a fourth value
// that carries no meaning (copied along). Quaternions are (x, y, z, w). A 3 × 3 matrix is three
// row vectors. Z is up.

struct PhysicsVector {
    float x = 0.0f;
    float y = 0.0f;
    float z = 0.0f;
    float w = 0.0f;
};

struct PhysicsQuaternion {
    float x = 0.0f;
    float y = 0.0f;
    float z = 0.0f;
    float w = 1.0f;
};

// Rows of a 3 × 3 matrix; m.row[i] is row i.
struct PhysicsMatrix3 {
    PhysicsVector row[3];
};

// Squared lengths and lengths below this are zero throughout the engine.
inline constexpr float kPhysicsEpsilon = 0.000001f;

inline PhysicsVector operator+(const PhysicsVector& a, const PhysicsVector& b)
{
    return {a.x + b.x, a.y + b.y, a.z + b.z, a.w};
}
inline PhysicsVector operator-(const PhysicsVector& a, const PhysicsVector& b)
{
    return {a.x - b.x, a.y - b.y, a.z - b.z, a.w};
}
inline PhysicsVector operator-(const PhysicsVector& a) { return {-a.x, -a.y, -a.z, a.w}; }
inline PhysicsVector operator*(const PhysicsVector& a, float s) { return {a.x * s, a.y * s, a.z * s, a.w}; }
inline PhysicsVector operator*(float s, const PhysicsVector& a) { return a * s; }
inline PhysicsVector& operator+=(PhysicsVector& a, const PhysicsVector& b) { return a = a + b; }
inline PhysicsVector& operator-=(PhysicsVector& a, const PhysicsVector& b) { return a = a - b; }
inline PhysicsVector& operator*=(PhysicsVector& a, float s) { return a = a * s; }

inline float Dot(const PhysicsVector& a, const PhysicsVector& b) { return a.x * b.x + a.y * b.y + a.z * b.z; }
inline PhysicsVector Cross(const PhysicsVector& a, const PhysicsVector& b)
{
    return {a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x, 0.0f};
}
inline float LengthSq(const PhysicsVector& a) { return Dot(a, a); }

// The length, 0 when the squared length is below the engine's epsilon.
inline float Length(const PhysicsVector& a)
{
    const float sq = LengthSq(a);
    return sq < kPhysicsEpsilon ? 0.0f : std::sqrt(sq);
}

// The unit vector, zero when the squared length is below the epsilon or the length is 0.
inline PhysicsVector Normalized(const PhysicsVector& a)
{
    const float length = Length(a);
    return length == 0.0f ? PhysicsVector{} : a * (1.0f / length);
}

inline float& At(PhysicsVector& a, int i) { return i == 0 ? a.x : (i == 1 ? a.y : a.z); }
inline float At(const PhysicsVector& a, int i) { return i == 0 ? a.x : (i == 1 ? a.y : a.z); }

inline bool IsFinite(const PhysicsVector& a) { return std::isfinite(a.x) && std::isfinite(a.y) && std::isfinite(a.z); }

// Quaternions -------------------------------------------------------------------------------

inline PhysicsQuaternion operator+(const PhysicsQuaternion& a, const PhysicsQuaternion& b)
{
    return {a.x + b.x, a.y + b.y, a.z + b.z, a.w + b.w};
}
inline PhysicsQuaternion operator*(const PhysicsQuaternion& a, float s) { return {a.x * s, a.y * s, a.z * s, a.w * s}; }

// The Hamilton product a ⊗ b.
inline PhysicsQuaternion Multiply(const PhysicsQuaternion& a, const PhysicsQuaternion& b)
{
    return {a.w * b.x + a.x * b.w + a.y * b.z - a.z * b.y,
            a.w * b.y - a.x * b.z + a.y * b.w + a.z * b.x,
            a.w * b.z + a.x * b.y - a.y * b.x + a.z * b.w,
            a.w * b.w - a.x * b.x - a.y * b.y - a.z * b.z};
}

inline float LengthSq(const PhysicsQuaternion& q) { return q.x * q.x + q.y * q.y + q.z * q.z + q.w * q.w; }

// The unit quaternion; a zero quaternion stays zero.
inline PhysicsQuaternion Normalized(const PhysicsQuaternion& q)
{
    const float sq = LengthSq(q);
    return sq == 0.0f ? PhysicsQuaternion{0.0f, 0.0f, 0.0f, 0.0f} : q * (1.0f / std::sqrt(sq));
}

// The rate ½ · (0, ω) ⊗ q of a body turning with angular velocity ω.
inline PhysicsQuaternion QuaternionRate(const PhysicsVector& omega, const PhysicsQuaternion& q)
{
    return Multiply(PhysicsQuaternion{omega.x, omega.y, omega.z, 0.0f}, q) * 0.5f;
}

// 3 × 3 matrices -------------------------------------------------------------------------------

inline PhysicsMatrix3 Identity3()
{
    return {{{1.0f, 0.0f, 0.0f, 0.0f}, {0.0f, 1.0f, 0.0f, 0.0f}, {0.0f, 0.0f, 1.0f, 0.0f}}};
}

inline PhysicsVector operator*(const PhysicsMatrix3& m, const PhysicsVector& v)
{
    return {Dot(m.row[0], v), Dot(m.row[1], v), Dot(m.row[2], v), 0.0f};
}

// The rotation axes (X, Y, Z of the rotated frame in world space) of a unit quaternion: the rows
// of the body's transform.
inline PhysicsMatrix3 AxesFromQuaternion(const PhysicsQuaternion& q)
{
    const float x = q.x, y = q.y, z = q.z, w = q.w;
    return {{{1.0f - 2.0f * (y * y + z * z), 2.0f * (x * y + w * z), 2.0f * (x * z - w * y), 0.0f},
             {2.0f * (x * y - w * z), 1.0f - 2.0f * (x * x + z * z), 2.0f * (y * z + w * x), 0.0f},
             {2.0f * (x * z + w * y), 2.0f * (y * z - w * x), 1.0f - 2.0f * (x * x + y * y), 0.0f}}};
}

// A direction in the frame of the axes, taken into world space: X·v.x + Y·v.y + Z·v.z.
inline PhysicsVector ToWorld(const PhysicsMatrix3& axes, const PhysicsVector& v)
{
    return axes.row[0] * v.x + axes.row[1] * v.y + axes.row[2] * v.z;
}

// A world direction expressed in the frame of the axes.
inline PhysicsVector ToLocal(const PhysicsMatrix3& axes, const PhysicsVector& v)
{
    return {Dot(axes.row[0], v), Dot(axes.row[1], v), Dot(axes.row[2], v), 0.0f};
}

// R · M · Rᵀ with R the rotation whose columns are the axes: the world form of a body-frame
// tensor M.
inline PhysicsMatrix3 TensorToWorld(const PhysicsMatrix3& axes, const PhysicsMatrix3& m)
{
    PhysicsMatrix3 result;
    for (int i = 0; i < 3; ++i) {
        // Column i of the result is R · M · (row i of R as seen in the body frame).
        const PhysicsVector local = ToLocal(axes, PhysicsVector{i == 0 ? 1.0f : 0.0f, i == 1 ? 1.0f : 0.0f,
                                                                i == 2 ? 1.0f : 0.0f, 0.0f});
        const PhysicsVector column = ToWorld(axes, m * local);
        At(result.row[0], i) = column.x;
        At(result.row[1], i) = column.y;
        At(result.row[2], i) = column.z;
    }
    return result;
}

// A placement: the rotation axes and the position (a point p maps to X·p.x + Y·p.y + Z·p.z + position).
struct PhysicsTransform {
    PhysicsMatrix3 axes = Identity3();
    PhysicsVector position{0.0f, 0.0f, 0.0f, 1.0f};
};

inline PhysicsVector TransformPoint(const PhysicsTransform& t, const PhysicsVector& p)
{
    return ToWorld(t.axes, p) + t.position;
}

// Outer placement applied after inner: the world placement of a shape placed by inner in a body
// placed by outer.
inline PhysicsTransform Compose(const PhysicsTransform& outer, const PhysicsTransform& inner)
{
    PhysicsTransform result;
    for (int i = 0; i < 3; ++i) result.axes.row[i] = ToWorld(outer.axes, inner.axes.row[i]);
    result.position = TransformPoint(outer, inner.position);
    result.position.w = 1.0f;
    return result;
}
