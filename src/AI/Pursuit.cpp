#include "AI/Pursuit.h"

#include <algorithm>

#include "AI/SteeringMath.h"

namespace {

constexpr float kSideCosine = 0.707f;
constexpr float kEvasionMaxTime = 1.0f;

// The prediction factor by whether the target is ahead (+1), aside (0) or behind (-1), and
// whether it heads the same way (+1), across (0) or against (-1).
float TimeFactor(int32_t ahead, int32_t parallel)
{
    static constexpr float kFactors[3][3] = {
        // parallel -1, 0, +1
        {2.0f, 2.0f, 0.5f},   // behind
        {4.0f, 0.8f, 1.0f},   // aside
        {0.85f, 1.8f, 4.0f},  // ahead
    };
    return kFactors[ahead + 1][parallel + 1];
}

}  // namespace

PVector3 TowardsPoint(const SimpleVehicle& own, const PVector3& point)
{
    return (point - own.Position()) - own.Velocity();
}

PVector3 AwayFromPoint(const SimpleVehicle& own, const PVector3& point)
{
    return (own.Position() - point) - own.Velocity();
}

PVector3 PursuitForce(const SimpleVehicle& own, const SimpleVehicle& target, float maxTime)
{
    const PVector3 offset = target.Position() - own.Position();
    const float distance = Vec3Length(offset);
    if (distance == 0.0f) return {0.0f, 0.0f, 0.0f};
    const PVector3 unitOffset = offset / distance;
    const float parallel = Vec3Dot(own.Forward(), target.Forward());
    const float ahead = Vec3Dot(own.Forward(), unitOffset);
    const float factor = TimeFactor(ClassifyInInterval(ahead, -kSideCosine, kSideCosine),
                                    ClassifyInInterval(parallel, -kSideCosine, kSideCosine));
    // A standing pursuer's travel time is unbounded: the cap decides.
    const float time = own.Speed() > 0.0f ? std::min(factor * distance / own.Speed(), maxTime) : maxTime;
    return TowardsPoint(own, target.PredictPosition(time));
}

PVector3 EvasionForce(const SimpleVehicle& own, const SimpleVehicle& target)
{
    const float distance = Vec3Length(target.Position() - own.Position());
    if (distance == 0.0f) return {0.0f, 0.0f, 0.0f};
    const float time = target.Speed() > 0.0f ? std::min(distance / target.Speed(), kEvasionMaxTime) : kEvasionMaxTime;
    return AwayFromPoint(own, target.PredictPosition(time));
}
