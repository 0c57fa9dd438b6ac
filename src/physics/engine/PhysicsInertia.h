#pragma once
#include <algorithm>

#include "physics/engine/PhysicsVector.h"

// Diagonal inertia terms (body axes x, y, z) of the game's two body shapes.

// A box of sides (a, b, c): every term is 2/3 · mass · L², L the longest side.
inline PhysicsVector BoxInertia(const PhysicsVector& sizes, float mass)
{
    const float longest = std::max({sizes.x, sizes.y, sizes.z});
    const float term = (longest * longest + longest * longest) * mass * (1.0f / 3.0f);
    return {term, term, term, 0.0f};
}

// A cylinder along the body's y axis.
inline PhysicsVector CylinderInertia(float diameter, float height, float mass)
{
    const float radius = diameter * 0.5f;
    const float across = mass * height * height * (1.0f / 12.0f) + mass * radius * radius * 0.25f;
    return {across, mass * radius * radius * 0.5f, across, 0.0f};
}
