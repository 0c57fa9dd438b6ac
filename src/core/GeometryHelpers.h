#pragma once
#include "math/PPlane.h"
#include "math/PVector3.h"

// Small geometric helpers shared by several subsystems.

float FAbs(float value);
// acos and asin of the argument clamped to [-1, 1], so a dot product of unit vectors that
// rounding pushed slightly past 1 still gives an angle.
float ClampedAcos(float value);
float ClampedAsin(float value);

// t such that origin + t * direction lies on the plane (in units of the direction's length), or
// -1 when the ray is parallel to the plane or leaves its front side.
float RayPlaneDistance(const PVector3& origin, const PVector3& direction, const PPlane& plane);

// True when the point, projected along the triangle's dominant normal axis, lies inside the
// triangle a, b, c: exactly one edge lies at or above the point at its coordinate. An edge that
// is vertical in the projection never counts.
bool PointInTriangle(const PVector3& point, const PVector3& a, const PVector3& b, const PVector3& c);
