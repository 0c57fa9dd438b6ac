#include "AI/ShotAim.h"

#include "core/GeometryHelpers.h"
#include "math/PMathConstants.h"
#include "platform/Random.h"

PMatrix RotationToAim(const PVector3& aim)
{
    const PVector3 axis{aim.z, 0.0f, -aim.x};
    if (Vec3Length(axis) > 0.0f) return MatrixRotationAxis(axis, ClampedAcos(aim.y));
    return aim.y < 0.0f ? MatrixRotationZ(kPi) : MatrixIdentity();
}

PVector3 SpreadDirection(const PMatrix& toAim, float spread)
{
    const float roll = spread * platform::RandUnit();
    const float yaw = kTwoPi * platform::RandUnit();
    return Vec3TransformCoord({0.0f, 1.0f, 0.0f}, MatrixRotationYawPitchRoll(yaw, 0.0f, roll) * toAim);
}
