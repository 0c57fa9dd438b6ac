#pragma once
#include <cstdint>

#include "physics/engine/PhysicsVector.h"

// One triangle in world space, prepared for the tests.
struct PhysicsTriangleInfo {
    PhysicsVector p[3];
    PhysicsVector e[3];  // e0 = p1 - p0, e1 = p2 - p1, e2 = p0 - p2
    PhysicsVector normal;  // unit e0 × e1; zero for a triangle without area
    float offset = 0.0f;   // normal · p0

    PhysicsTriangleInfo(const PhysicsVector& p0, const PhysicsVector& p1, const PhysicsVector& p2);
    bool IsDegenerate() const { return LengthSq(normal) == 0.0f; }
    PhysicsVector Centroid() const { return (p[0] + p[1] + p[2]) * (1.0f / 3.0f); }

    // Where a point of the triangle's plane lies: -1 inside; otherwise the region 0 vertex 0,
    // 1 edge 0, 2 vertex 1, 3 edge 1, 4 vertex 2, 5 edge 2.
    int32_t Locate(const PhysicsVector& point) const;
    // Whether the point, projected along the normal, lies inside the triangle or on its border.
    bool Contains(const PhysicsVector& point) const;
};
