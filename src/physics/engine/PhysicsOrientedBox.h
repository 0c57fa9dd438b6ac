#pragma once
#include <cstdint>
#include <limits>

#include "physics/engine/PhysicsGeometry.h"
#include "physics/engine/PhysicsTestResult.h"
#include "physics/engine/PhysicsVector.h"

struct PhysicsTriangleInfo;

// A box shape placed in the world for the tests: centre, unit axes, half extents, the half-axis
// vectors (axis k times half extent k) and its eight corners, worked out on first use.
struct PhysicsOrientedBox {
    PhysicsOrientedBox(const PhysicsGeometry& box, const PhysicsTransform& world);

    // Corner k has the signs of bits 2 (a0), 1 (a1) and 0 (a2) of 7 - k: (+,+,+) first.
    void ComputeCorners();
    // A point in the box's own frame (relative to the centre, along the axes).
    PhysicsVector ToBoxFrame(const PhysicsVector& point) const { return ToLocal(transform.axes, point - transform.position); }
    PhysicsVector FromBoxFrame(const PhysicsVector& point) const { return TransformPoint(transform, point); }

    // The separating-axis test against a triangle (1 + 3 + 9 axes). The depth along the
    // triangle's normal bounds the contact's: when that is no deeper than deeperThan, the test
    // stops there and returns false.
    bool CollideTriangle(PhysicsTestResult& result, const PhysicsTriangleInfo& triangle,
                         float deeperThan = -std::numeric_limits<float>::infinity()) const;
    // The corners that hang below a height-field triangle (heights along y).
    bool CollideTriangleColumn(PhysicsTestResult& result, const PhysicsTriangleInfo& triangle);

    const PhysicsGeometry& geometry;
    PhysicsTransform transform;
    PhysicsVector halfExtents;
    PhysicsVector halfAxes[3];
    PhysicsVector corners[8];
    bool cornersValid = false;

    const PhysicsVector& Centre() const { return transform.position; }
    const PhysicsVector& Axis(int k) const { return transform.axes.row[k]; }
};

// The box-box separating-axis test over 15 axes.
bool PhysicsCollideBoxBox(PhysicsTestResult& result, const PhysicsGeometry& boxA, const PhysicsTransform& a,
                          const PhysicsGeometry& boxB, const PhysicsTransform& b);
