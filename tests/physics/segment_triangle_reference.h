#pragma once
#include <algorithm>
#include <cmath>

#include "physics/engine/PhysicsTriangleInfo.h"

// Slow references for the round-shape tests: nearest points by brute force, written only for
// the tests.

// Where a convex function on [0, 1] is smallest, by golden-section search.
template <typename F>
float ArgMinimumOnUnit(F f)
{
    float lo = 0, hi = 1;
    const float g = 0.618034f;
    // Each round keeps one inner point and its value, so it measures only one new point.
    float m1 = hi - g * (hi - lo), m2 = lo + g * (hi - lo);
    float f1 = f(m1), f2 = f(m2);
    for (int i = 0; i < 40; ++i) {
        if (f1 < f2) {
            hi = m2;
            m2 = m1;
            f2 = f1;
            m1 = hi - g * (hi - lo);
            f1 = f(m1);
        } else {
            lo = m1;
            m1 = m2;
            f1 = f2;
            m2 = lo + g * (hi - lo);
            f2 = f(m2);
        }
    }
    float best = (lo + hi) / 2;
    for (float end : {0.0f, 1.0f})
        if (f(end) < f(best)) best = end;
    return best;
}

inline PhysicsVector NearestOnSegment(const PhysicsVector& p, const PhysicsVector& a, const PhysicsVector& b)
{
    const PhysicsVector d = b - a;
    const float lengthSq = LengthSq(d);
    if (lengthSq == 0.0f) return a;
    return a + d * std::clamp(Dot(p - a, d) / lengthSq, 0.0f, 1.0f);
}

// The point of a triangle (with area) nearest to p: its foot on the plane when that lies inside,
// else the nearest point of the three edges.
inline PhysicsVector NearestInTriangle(const PhysicsVector& p, const PhysicsTriangleInfo& triangle)
{
    const PhysicsVector foot = p - triangle.normal * (Dot(triangle.normal, p) - triangle.offset);
    bool inside = true;
    for (int k = 0; k < 3; ++k)
        if (Dot(Cross(triangle.e[k], foot - triangle.p[k]), triangle.normal) < 0.0f) inside = false;
    if (inside) return foot;
    PhysicsVector best = triangle.p[0];
    for (int k = 0; k < 3; ++k) {
        const PhysicsVector onEdge = NearestOnSegment(p, triangle.p[k], triangle.p[(k + 1) % 3]);
        if (LengthSq(p - onEdge) < LengthSq(p - best)) best = onEdge;
    }
    return best;
}

// The nearest points of a segment and a triangle, and their distance (0 when the segment
// pierces the triangle). The distance from a point moving along a line to a convex set is convex.
struct SegmentTriangleGap {
    PhysicsVector onSegment, onTriangle;
    float gap;
};

inline SegmentTriangleGap NearestSegmentTrianglePoints(const PhysicsVector& start, const PhysicsVector& end,
                                                       const PhysicsTriangleInfo& triangle)
{
    auto at = [&](float u) { return start + (end - start) * u; };
    auto gapAt = [&](float u) { return std::sqrt(LengthSq(at(u) - NearestInTriangle(at(u), triangle))); };
    const float u = ArgMinimumOnUnit(gapAt);
    return {at(u), NearestInTriangle(at(u), triangle), gapAt(u)};
}
