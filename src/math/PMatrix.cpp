#include "math/PMatrix.h"

#include <cmath>

namespace {

// The 2 × 2 determinants of the top two rows (s) and the bottom two rows (c), from which the
// determinant and the adjugate follow by Laplace expansion.
struct Minors {
    float s[6];
    float c[6];
};

Minors ComputeMinors(const PMatrix& a)
{
    const auto& m = a.m;
    return {{m[0][0] * m[1][1] - m[1][0] * m[0][1], m[0][0] * m[1][2] - m[1][0] * m[0][2],
             m[0][0] * m[1][3] - m[1][0] * m[0][3], m[0][1] * m[1][2] - m[1][1] * m[0][2],
             m[0][1] * m[1][3] - m[1][1] * m[0][3], m[0][2] * m[1][3] - m[1][2] * m[0][3]},
            {m[2][0] * m[3][1] - m[3][0] * m[2][1], m[2][0] * m[3][2] - m[3][0] * m[2][2],
             m[2][0] * m[3][3] - m[3][0] * m[2][3], m[2][1] * m[3][2] - m[3][1] * m[2][2],
             m[2][1] * m[3][3] - m[3][1] * m[2][3], m[2][2] * m[3][3] - m[3][2] * m[2][3]}};
}

float DeterminantOf(const Minors& n)
{
    const float* s = n.s;
    const float* c = n.c;
    return s[0] * c[5] - s[1] * c[4] + s[2] * c[3] + s[3] * c[2] - s[4] * c[1] + s[5] * c[0];
}

PMatrix Adjugate(const PMatrix& a, const Minors& n)
{
    const auto& m = a.m;
    const float* s = n.s;
    const float* c = n.c;
    return {{{m[1][1] * c[5] - m[1][2] * c[4] + m[1][3] * c[3], -m[0][1] * c[5] + m[0][2] * c[4] - m[0][3] * c[3],
              m[3][1] * s[5] - m[3][2] * s[4] + m[3][3] * s[3], -m[2][1] * s[5] + m[2][2] * s[4] - m[2][3] * s[3]},
             {-m[1][0] * c[5] + m[1][2] * c[2] - m[1][3] * c[1], m[0][0] * c[5] - m[0][2] * c[2] + m[0][3] * c[1],
              -m[3][0] * s[5] + m[3][2] * s[2] - m[3][3] * s[1], m[2][0] * s[5] - m[2][2] * s[2] + m[2][3] * s[1]},
             {m[1][0] * c[4] - m[1][1] * c[2] + m[1][3] * c[0], -m[0][0] * c[4] + m[0][1] * c[2] - m[0][3] * c[0],
              m[3][0] * s[4] - m[3][1] * s[2] + m[3][3] * s[0], -m[2][0] * s[4] + m[2][1] * s[2] - m[2][3] * s[0]},
             {-m[1][0] * c[3] + m[1][1] * c[1] - m[1][2] * c[0], m[0][0] * c[3] - m[0][1] * c[1] + m[0][2] * c[0],
              -m[3][0] * s[3] + m[3][1] * s[1] - m[3][2] * s[0], m[2][0] * s[3] - m[2][1] * s[1] + m[2][2] * s[0]}}};
}

}  // namespace

PMatrix MatrixTranspose(const PMatrix& m)
{
    PMatrix r;
    for (int i = 0; i < 4; ++i) {
        for (int j = 0; j < 4; ++j) {
            r.m[i][j] = m.m[j][i];
        }
    }
    return r;
}

float MatrixDeterminant(const PMatrix& m) { return DeterminantOf(ComputeMinors(m)); }

PMatrix MatrixInverse(const PMatrix& m, float* determinant)
{
    const Minors minors = ComputeMinors(m);
    const float det = DeterminantOf(minors);
    if (determinant) {
        *determinant = det;
    }
    const float invDet = 1.0f / det;
    if (det == 0.0f || !std::isfinite(invDet)) {
        return MatrixIdentity();
    }
    PMatrix r = Adjugate(m, minors);
    for (auto& row : r.m) {
        for (float& e : row) {
            e *= invDet;
        }
    }
    return r;
}

PMatrix MatrixTranslation(float x, float y, float z)
{
    PMatrix r = MatrixIdentity();
    r.m[3][0] = x;
    r.m[3][1] = y;
    r.m[3][2] = z;
    return r;
}

PMatrix MatrixScaling(float x, float y, float z)
{
    PMatrix r = MatrixIdentity();
    r.m[0][0] = x;
    r.m[1][1] = y;
    r.m[2][2] = z;
    return r;
}

PMatrix MatrixRotationX(float angle)
{
    const float c = std::cos(angle);
    const float s = std::sin(angle);
    PMatrix r = MatrixIdentity();
    r.m[1][1] = c;
    r.m[1][2] = s;
    r.m[2][1] = -s;
    r.m[2][2] = c;
    return r;
}

PMatrix MatrixRotationY(float angle)
{
    const float c = std::cos(angle);
    const float s = std::sin(angle);
    PMatrix r = MatrixIdentity();
    r.m[0][0] = c;
    r.m[0][2] = -s;
    r.m[2][0] = s;
    r.m[2][2] = c;
    return r;
}

PMatrix MatrixRotationZ(float angle)
{
    const float c = std::cos(angle);
    const float s = std::sin(angle);
    PMatrix r = MatrixIdentity();
    r.m[0][0] = c;
    r.m[0][1] = s;
    r.m[1][0] = -s;
    r.m[1][1] = c;
    return r;
}

PMatrix MatrixRotationAxis(const PVector3& axis, float angle)
{
    const PVector3 v = Vec3Normalize(axis);
    const float c = std::cos(angle);
    const float s = std::sin(angle);
    const float t = 1.0f - c;
    PMatrix r = MatrixIdentity();
    r.m[0][0] = t * v.x * v.x + c;
    r.m[0][1] = t * v.x * v.y + s * v.z;
    r.m[0][2] = t * v.x * v.z - s * v.y;
    r.m[1][0] = t * v.x * v.y - s * v.z;
    r.m[1][1] = t * v.y * v.y + c;
    r.m[1][2] = t * v.y * v.z + s * v.x;
    r.m[2][0] = t * v.x * v.z + s * v.y;
    r.m[2][1] = t * v.y * v.z - s * v.x;
    r.m[2][2] = t * v.z * v.z + c;
    return r;
}

PMatrix MatrixRotationYawPitchRoll(float yaw, float pitch, float roll)
{
    return MatrixRotationZ(roll) * MatrixRotationX(pitch) * MatrixRotationY(yaw);
}

PMatrix MatrixLookAtLH(const PVector3& eye, const PVector3& at, const PVector3& up)
{
    const PVector3 zAxis = Vec3Normalize(at - eye);
    const PVector3 xAxis = Vec3Normalize(Vec3Cross(up, zAxis));
    const PVector3 yAxis = Vec3Cross(zAxis, xAxis);
    return {{{xAxis.x, yAxis.x, zAxis.x, 0.0f},
             {xAxis.y, yAxis.y, zAxis.y, 0.0f},
             {xAxis.z, yAxis.z, zAxis.z, 0.0f},
             {-Vec3Dot(xAxis, eye), -Vec3Dot(yAxis, eye), -Vec3Dot(zAxis, eye), 1.0f}}};
}

PMatrix MatrixPerspectiveFovLH(float fovY, float aspect, float zNear, float zFar)
{
    const float yScale = 1.0f / std::tan(fovY * 0.5f);
    const float xScale = yScale / aspect;
    const float zScale = zFar / (zFar - zNear);
    return {{{xScale, 0.0f, 0.0f, 0.0f},
             {0.0f, yScale, 0.0f, 0.0f},
             {0.0f, 0.0f, zScale, 1.0f},
             {0.0f, 0.0f, -zNear * zScale, 0.0f}}};
}

PMatrix MatrixOrthoLH(float width, float height, float zNear, float zFar)
{
    const float zScale = 1.0f / (zFar - zNear);
    return {{{2.0f / width, 0.0f, 0.0f, 0.0f},
             {0.0f, 2.0f / height, 0.0f, 0.0f},
             {0.0f, 0.0f, zScale, 0.0f},
             {0.0f, 0.0f, -zNear * zScale, 1.0f}}};
}

PMatrix MatrixOrthoOffCenterLH(float left, float right, float bottom, float top, float zNear, float zFar)
{
    const float zScale = 1.0f / (zFar - zNear);
    return {{{2.0f / (right - left), 0.0f, 0.0f, 0.0f},
             {0.0f, 2.0f / (top - bottom), 0.0f, 0.0f},
             {0.0f, 0.0f, zScale, 0.0f},
             {(left + right) / (left - right), (top + bottom) / (bottom - top), -zNear * zScale, 1.0f}}};
}

PMatrix MatrixShadow(const PVector4& light, const PPlane& plane)
{
    const PPlane p = PlaneNormalize(plane);
    const float dot = PlaneDot(p, light);
    const float pv[4] = {p.a, p.b, p.c, p.d};
    const float lv[4] = {light.x, light.y, light.z, light.w};
    PMatrix r;
    for (int i = 0; i < 4; ++i) {
        for (int j = 0; j < 4; ++j) {
            r.m[i][j] = (i == j ? dot : 0.0f) - pv[i] * lv[j];
        }
    }
    return r;
}
