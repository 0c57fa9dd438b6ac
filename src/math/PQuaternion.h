#pragma once
#include <type_traits>

#include "math/PMatrix.h"
#include "math/PVector3.h"

// A rotation quaternion: (x, y, z) = axis × sin(angle / 2), w = cos(angle / 2).
struct PQuaternion {
    float x;
    float y;
    float z;
    float w;

    bool operator==(const PQuaternion&) const = default;
};
static_assert(sizeof(PQuaternion) == 16 && std::is_standard_layout_v<PQuaternion> &&
              std::is_trivially_copyable_v<PQuaternion>);

inline PQuaternion QuaternionIdentity() { return {0.0f, 0.0f, 0.0f, 1.0f}; }

inline float QuaternionDot(const PQuaternion& a, const PQuaternion& b)
{
    return a.x * b.x + a.y * b.y + a.z * b.z + a.w * b.w;
}

inline float QuaternionLengthSq(const PQuaternion& q) { return QuaternionDot(q, q); }

inline PQuaternion QuaternionConjugate(const PQuaternion& q) { return {-q.x, -q.y, -q.z, q.w}; }

// The rotation q1 followed by the rotation q2 (the Hamilton product q2 · q1), so that
// MatrixRotationQuaternion(QuaternionMultiply(q1, q2)) equals the matrix of q1 × the matrix of q2.
PQuaternion QuaternionMultiply(const PQuaternion& q1, const PQuaternion& q2);

// Unit quaternion in the direction of q; a zero quaternion stays zero.
PQuaternion QuaternionNormalize(const PQuaternion& q);

// Conjugate divided by the squared length; a zero quaternion stays zero.
PQuaternion QuaternionInverse(const PQuaternion& q);

// Rotation by angle (radians) about axis, which is normalised first.
PQuaternion QuaternionRotationAxis(const PVector3& axis, float angle);

// The rotation of a pure rotation matrix (the upper 3 × 3 part is read).
PQuaternion QuaternionRotationMatrix(const PMatrix& m);

// Same rotation as MatrixRotationYawPitchRoll: roll about z, then pitch about x, then yaw about y.
PQuaternion QuaternionRotationYawPitchRoll(float yaw, float pitch, float roll);

// Spherical interpolation from q1 (t = 0) to q2 (t = 1) along the shorter arc: when the two
// lie on opposite hemispheres q2 is negated first, so t = 1 may give −q2, the same rotation.
PQuaternion QuaternionSlerp(const PQuaternion& q1, const PQuaternion& q2, float t);

// The rotation matrix of a unit quaternion.
PMatrix MatrixRotationQuaternion(const PQuaternion& q);
