#pragma once
#include <type_traits>

#include "math/PPlane.h"
#include "math/PVector3.h"
#include "math/PVector4.h"

// A 4 × 4 float matrix, m[row][column], stored row by row. Vectors are rows and transform as
// v × M, so the translation sits in the fourth row; the frame is left-handed and projections
// map depth to 0..1.
struct PMatrix {
    float m[4][4];

    bool operator==(const PMatrix&) const = default;
};
static_assert(sizeof(PMatrix) == 64 && std::is_standard_layout_v<PMatrix> && std::is_trivially_copyable_v<PMatrix>);

inline PMatrix MatrixIdentity()
{
    return {{{1.0f, 0.0f, 0.0f, 0.0f}, {0.0f, 1.0f, 0.0f, 0.0f}, {0.0f, 0.0f, 1.0f, 0.0f}, {0.0f, 0.0f, 0.0f, 1.0f}}};
}

// a × b: the transform of a followed by the transform of b.
inline PMatrix MatrixMultiply(const PMatrix& a, const PMatrix& b)
{
    PMatrix r;
    for (int i = 0; i < 4; ++i) {
        for (int j = 0; j < 4; ++j) {
            r.m[i][j] = a.m[i][0] * b.m[0][j] + a.m[i][1] * b.m[1][j] + a.m[i][2] * b.m[2][j] + a.m[i][3] * b.m[3][j];
        }
    }
    return r;
}

inline PMatrix operator*(const PMatrix& a, const PMatrix& b) { return MatrixMultiply(a, b); }
inline PMatrix& operator*=(PMatrix& a, const PMatrix& b) { return a = MatrixMultiply(a, b); }

// v × M for a homogeneous vector.
inline PVector4 Vec4Transform(const PVector4& v, const PMatrix& m)
{
    return {v.x * m.m[0][0] + v.y * m.m[1][0] + v.z * m.m[2][0] + v.w * m.m[3][0],
            v.x * m.m[0][1] + v.y * m.m[1][1] + v.z * m.m[2][1] + v.w * m.m[3][1],
            v.x * m.m[0][2] + v.y * m.m[1][2] + v.z * m.m[2][2] + v.w * m.m[3][2],
            v.x * m.m[0][3] + v.y * m.m[1][3] + v.z * m.m[2][3] + v.w * m.m[3][3]};
}

// (v, 1) × M, all four results.
inline PVector4 Vec3Transform(const PVector3& v, const PMatrix& m) { return Vec4Transform({v.x, v.y, v.z, 1.0f}, m); }

// (v, 1) × M divided by its w: a point through a transform that may project. A point sent to
// infinity (w = 0) gives (0, 0, 0) rather than infinities or NaNs.
inline PVector3 Vec3TransformCoord(const PVector3& v, const PMatrix& m)
{
    const PVector4 r = Vec3Transform(v, m);
    if (r.w == 0.0f) {
        return {0.0f, 0.0f, 0.0f};
    }
    return {r.x / r.w, r.y / r.w, r.z / r.w};
}

// (v, 0) × M: a direction, turned and scaled but not translated.
inline PVector3 Vec3TransformNormal(const PVector3& v, const PMatrix& m)
{
    return {v.x * m.m[0][0] + v.y * m.m[1][0] + v.z * m.m[2][0],
            v.x * m.m[0][1] + v.y * m.m[1][1] + v.z * m.m[2][1],
            v.x * m.m[0][2] + v.y * m.m[1][2] + v.z * m.m[2][2]};
}

PMatrix MatrixTranspose(const PMatrix& m);
float MatrixDeterminant(const PMatrix& m);

// The inverse of m. When determinant is given it receives m's determinant. A singular matrix
// (determinant 0, or so small that its reciprocal overflows) has no inverse: the result is then
// the identity, so callers that must know test the determinant.
PMatrix MatrixInverse(const PMatrix& m, float* determinant = nullptr);

PMatrix MatrixTranslation(float x, float y, float z);
PMatrix MatrixScaling(float x, float y, float z);

// Rotations by angle (radians) about an axis; positive angles turn y toward z (X), z toward x (Y)
// and x toward y (Z).
PMatrix MatrixRotationX(float angle);
PMatrix MatrixRotationY(float angle);
PMatrix MatrixRotationZ(float angle);

// Rotation by angle about axis, which is normalised first. A zero axis gives cos(angle) × I
// (with the fourth diagonal element 1): the identity at angle 0 and a point reflection
// through the origin at angle π, which still carries any direction to its opposite.
PMatrix MatrixRotationAxis(const PVector3& axis, float angle);

// Roll about z, then pitch about x, then yaw about y: Rz(roll) × Rx(pitch) × Ry(yaw).
PMatrix MatrixRotationYawPitchRoll(float yaw, float pitch, float roll);

// Left-handed view matrix for an eye at eye looking at at, with up giving the vertical: the eye
// goes to the origin, the view direction to +z.
PMatrix MatrixLookAtLH(const PVector3& eye, const PVector3& at, const PVector3& up);

// Left-handed perspective projection: fovY is the vertical field of view in radians, aspect is
// width / height. Depth maps to 0 at zNear and 1 at zFar after division by w (w = view z).
PMatrix MatrixPerspectiveFovLH(float fovY, float aspect, float zNear, float zFar);

// Left-handed orthographic projection of a width × height view centred on the axis, depth 0 at
// zNear and 1 at zFar.
PMatrix MatrixOrthoLH(float width, float height, float zNear, float zFar);

// Left-handed orthographic projection of the view box [left, right] × [bottom, top] × [zNear, zFar]
// onto x, y in -1..1 and depth 0..1.
PMatrix MatrixOrthoOffCenterLH(float left, float right, float bottom, float top, float zNear, float zFar);

// Flattens geometry onto plane as the shadow cast by light: a directional light when light.w is
// 0 ((x, y, z) is a direction along which points move), a point light at (x, y, z) when light.w
// is 1. The plane is normalised first; with P the plane and L the light the matrix is
// (P·L) I − P ⊗ L (element [i][j] = (P·L) δij − P[i] L[j]). Points go through it with
// Vec3TransformCoord.
PMatrix MatrixShadow(const PVector4& light, const PPlane& plane);
