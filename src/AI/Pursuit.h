#pragma once
#include "AI/SimpleVehicle.h"

// Steering forces of one vehicle toward or away from another. Each is the desired offset minus
// the vehicle's velocity; none divides by a zero distance (standing on the other vehicle gives
// no force).

// (point - position) - velocity.
PVector3 TowardsPoint(const SimpleVehicle& own, const PVector3& point);
// (position - point) - velocity.
PVector3 AwayFromPoint(const SimpleVehicle& own, const PVector3& point);
// Toward where the target will be: the prediction time is the travel time at the own speed
// scaled by how the two face each other, at most maxTime (a standing pursuer predicts maxTime
// ahead).
PVector3 PursuitForce(const SimpleVehicle& own, const SimpleVehicle& target, float maxTime);
// Away from where the target will be in the time it takes to cover the distance, at most 1 s.
PVector3 EvasionForce(const SimpleVehicle& own, const SimpleVehicle& target);
