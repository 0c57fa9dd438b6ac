#include "AI/SimpleVehicle.h"

#include <algorithm>
#include <cmath>

#include "AI/SteeringMath.h"

void SimpleVehicle::ApplySteering(const PVector3& force, float dt)
{
    const PVector3 clipped = ClampLength(LimitSteeringForce(force), maxForce);
    lastForce = clipped;
    const PVector3 accel = clipped / mass;
    // The smoothing rate is 0.9 for every frame up to 0.9 s long.
    const float rate = std::clamp(std::clamp(dt, 0.9f, 1.5f), 0.0f, 1.0f);
    smoothedAccel = Vec3Lerp(smoothedAccel, accel, rate);
    const PVector3 velocity = ClampLength(Velocity() + smoothedAccel * dt, maxSpeed);
    SetSpeed(Vec3Length(velocity));
    position += velocity * dt;
    AlignToVelocity(velocity);
}

PVector3 SimpleVehicle::LimitSteeringForce(const PVector3& force) const
{
    const float cap = 0.9f * maxSpeed;
    if (!(cap > 0.0f) || Speed() > cap || force == PVector3{0.0f, 0.0f, 0.0f}) return force;
    const float range = Speed() / cap;
    const float cosine = 1.0f - 2.0f * std::pow(range, 100.0f);
    return ClampToCone(true, force, cosine, forward);
}

void SimpleVehicle::AlignToVelocity(const PVector3& velocity)
{
    if (Speed() > 0.0f) RebuildFromForward(velocity / Speed());
}
