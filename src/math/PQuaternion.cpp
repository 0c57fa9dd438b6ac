#include "math/PQuaternion.h"

#include <algorithm>
#include <cmath>

PQuaternion QuaternionMultiply(const PQuaternion& q1, const PQuaternion& q2)
{
    // Hamilton product a · b with a = q2, b = q1.
    const PQuaternion& a = q2;
    const PQuaternion& b = q1;
    return {a.w * b.x + a.x * b.w + a.y * b.z - a.z * b.y,
            a.w * b.y - a.x * b.z + a.y * b.w + a.z * b.x,
            a.w * b.z + a.x * b.y - a.y * b.x + a.z * b.w,
            a.w * b.w - a.x * b.x - a.y * b.y - a.z * b.z};
}

PQuaternion QuaternionNormalize(const PQuaternion& q)
{
    const float length = std::sqrt(QuaternionLengthSq(q));
    if (length == 0.0f) {
        return {0.0f, 0.0f, 0.0f, 0.0f};
    }
    return {q.x / length, q.y / length, q.z / length, q.w / length};
}

PQuaternion QuaternionInverse(const PQuaternion& q)
{
    const float lengthSq = QuaternionLengthSq(q);
    if (lengthSq == 0.0f) {
        return {0.0f, 0.0f, 0.0f, 0.0f};
    }
    const PQuaternion c = QuaternionConjugate(q);
    return {c.x / lengthSq, c.y / lengthSq, c.z / lengthSq, c.w / lengthSq};
}

PQuaternion QuaternionRotationAxis(const PVector3& axis, float angle)
{
    const PVector3 v = Vec3Normalize(axis) * std::sin(angle * 0.5f);
    return {v.x, v.y, v.z, std::cos(angle * 0.5f)};
}

PQuaternion QuaternionRotationMatrix(const PMatrix& matrix)
{
    // Take the root of the largest of 4w², 4x², 4y², 4z² for accuracy, then the rest from the
    // off-diagonal sums and differences.
    const auto& m = matrix.m;
    const float trace = m[0][0] + m[1][1] + m[2][2];
    if (trace > 0.0f) {
        const float s = 2.0f * std::sqrt(trace + 1.0f);
        return {(m[1][2] - m[2][1]) / s, (m[2][0] - m[0][2]) / s, (m[0][1] - m[1][0]) / s, 0.25f * s};
    }
    if (m[0][0] >= m[1][1] && m[0][0] >= m[2][2]) {
        const float s = 2.0f * std::sqrt(std::max(0.0f, 1.0f + m[0][0] - m[1][1] - m[2][2]));
        return {0.25f * s, (m[0][1] + m[1][0]) / s, (m[0][2] + m[2][0]) / s, (m[1][2] - m[2][1]) / s};
    }
    if (m[1][1] >= m[2][2]) {
        const float s = 2.0f * std::sqrt(std::max(0.0f, 1.0f + m[1][1] - m[0][0] - m[2][2]));
        return {(m[0][1] + m[1][0]) / s, 0.25f * s, (m[1][2] + m[2][1]) / s, (m[2][0] - m[0][2]) / s};
    }
    const float s = 2.0f * std::sqrt(std::max(0.0f, 1.0f + m[2][2] - m[0][0] - m[1][1]));
    return {(m[0][2] + m[2][0]) / s, (m[1][2] + m[2][1]) / s, 0.25f * s, (m[0][1] - m[1][0]) / s};
}

PQuaternion QuaternionRotationYawPitchRoll(float yaw, float pitch, float roll)
{
    const PQuaternion rollQ = QuaternionRotationAxis({0.0f, 0.0f, 1.0f}, roll);
    const PQuaternion pitchQ = QuaternionRotationAxis({1.0f, 0.0f, 0.0f}, pitch);
    const PQuaternion yawQ = QuaternionRotationAxis({0.0f, 1.0f, 0.0f}, yaw);
    return QuaternionMultiply(QuaternionMultiply(rollQ, pitchQ), yawQ);
}

PQuaternion QuaternionSlerp(const PQuaternion& q1, const PQuaternion& q2, float t)
{
    float cosAngle = QuaternionDot(q1, q2);
    float sign = 1.0f;
    if (cosAngle < 0.0f) {
        cosAngle = -cosAngle;
        sign = -1.0f;
    }
    // For nearly equal rotations sin(angle) vanishes: plain interpolation is exact enough there.
    float k1 = 1.0f - t;
    float k2 = t;
    if (cosAngle < 0.9999f) {
        const float angle = std::acos(cosAngle);
        const float sinAngle = std::sin(angle);
        k1 = std::sin((1.0f - t) * angle) / sinAngle;
        k2 = std::sin(t * angle) / sinAngle;
    }
    k2 *= sign;
    return {k1 * q1.x + k2 * q2.x, k1 * q1.y + k2 * q2.y, k1 * q1.z + k2 * q2.z, k1 * q1.w + k2 * q2.w};
}

PMatrix MatrixRotationQuaternion(const PQuaternion& q)
{
    const float xx = q.x * q.x, yy = q.y * q.y, zz = q.z * q.z;
    const float xy = q.x * q.y, xz = q.x * q.z, yz = q.y * q.z;
    const float xw = q.x * q.w, yw = q.y * q.w, zw = q.z * q.w;
    return {{{1.0f - 2.0f * (yy + zz), 2.0f * (xy + zw), 2.0f * (xz - yw), 0.0f},
             {2.0f * (xy - zw), 1.0f - 2.0f * (xx + zz), 2.0f * (yz + xw), 0.0f},
             {2.0f * (xz + yw), 2.0f * (yz - xw), 1.0f - 2.0f * (xx + yy), 0.0f},
             {0.0f, 0.0f, 0.0f, 1.0f}}};
}
