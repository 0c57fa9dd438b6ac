#pragma once
#include <cmath>

#include "math/PMath.h"
#include "physics/engine/PhysicsVector.h"

// Between the game's math types and the physics engine's.

inline PhysicsVector ToPhysics(const PVector3& v) { return {v.x, v.y, v.z, 0.0f}; }
inline PVector3 FromPhysics(const PhysicsVector& v) { return {v.x, v.y, v.z}; }
inline PQuaternion FromPhysics(const PhysicsQuaternion& q) { return {q.x, q.y, q.z, q.w}; }

// The quaternion scaled by 1/√(x²+y²+z²+w²).
inline PhysicsQuaternion NormalizedToPhysics(const PQuaternion& q)
{
    const float scale = 1.0f / std::sqrt(q.x * q.x + q.y * q.y + q.z * q.z + q.w * q.w);
    return {q.x * scale, q.y * scale, q.z * scale, q.w * scale};
}
