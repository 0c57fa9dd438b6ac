#include "weapons/WeaponMath.h"

#include <algorithm>
#include <cmath>
#include <limits>

#include "core/GeometryHelpers.h"
#include "math/PMathConstants.h"
#include "platform/Random.h"

namespace {

// Below this squared length a cross product counts as zero: the vectors are parallel.
constexpr float kParallel = 1e-12f;

// Any unit vector perpendicular to the unit vector v.
PVector3 Perpendicular(const PVector3& v) {
    const PVector3 axis = std::fabs(v.x) < 0.9f ? PVector3{1.0f, 0.0f, 0.0f} : PVector3{0.0f, 1.0f, 0.0f};
    return Vec3Normalize(Vec3Cross(v, axis));
}

}  // namespace

PQuaternion TurnOnto(const PVector3& from, const PVector3& to) {
    const PVector3 axis = Vec3Cross(from, to);
    const float cosine = Vec3Dot(from, to);
    if (Vec3LengthSq(axis) > kParallel) return QuaternionRotationAxis(axis, ClampedAcos(cosine));
    if (cosine < 0.0f) return QuaternionRotationAxis(Perpendicular(from), kPi);
    return QuaternionIdentity();
}

PVector3 Rotate(const PVector3& vector, const PQuaternion& rotation) {
    return Vec3TransformNormal(vector, MatrixRotationQuaternion(rotation));
}

PVector3 TurnToward(const PVector3& heading, const PVector3& target, float maxTurn) {
    const float angle = ClampedAcos(Vec3Dot(target, heading));
    const float turn = std::min(angle, maxTurn);
    const PVector3 axis = Vec3Cross(target, heading);
    if (Vec3LengthSq(axis) <= kParallel) {
        if (Vec3Dot(target, heading) >= 0.0f) return heading;
        return Vec3Normalize(Rotate(heading, QuaternionRotationAxis(Perpendicular(heading), turn)));
    }
    return Vec3Normalize(Rotate(heading, QuaternionRotationAxis(axis, -turn)));
}

PVector3 TurnAboutZ(const PVector3& vector, float angle) {
    const float c = std::cos(angle);
    const float s = std::sin(angle);
    return {vector.x * c - vector.y * s, vector.x * s + vector.y * c, vector.z};
}


PMatrix RandomRotation() {
    const float yaw = platform::RandUnit() * 2.0f * kPi;
    const float pitch = platform::RandUnit() * 2.0f * kPi;
    const float roll = platform::RandUnit() * 2.0f * kPi;
    return MatrixRotationYawPitchRoll(yaw, pitch, roll);
}
