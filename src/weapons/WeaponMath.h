#pragma once
#include "math/PMath.h"

// Turns and random draws shared by the weapon objects.

// The rotation that carries the unit vector from onto the unit vector to, about their cross
// product: the identity when they are parallel (or either is zero), a half turn about an axis
// perpendicular to from when they are opposite.
PQuaternion TurnOnto(const PVector3& from, const PVector3& to);
// The vector turned by the rotation.
PVector3 Rotate(const PVector3& vector, const PQuaternion& rotation);
// The heading turned toward target by the angle between them, but at most maxTurn radians;
// both unit vectors. The result is a unit vector.
PVector3 TurnToward(const PVector3& heading, const PVector3& target, float maxTurn);
// The vector turned about the vertical axis by angle radians (counter-clockwise seen from above).
PVector3 TurnAboutZ(const PVector3& vector, float angle);
// A rotation from yaw, pitch and roll, each a fresh random angle in [0, 2π).
PMatrix RandomRotation();
