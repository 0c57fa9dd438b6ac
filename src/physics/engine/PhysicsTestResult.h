#pragma once
#include <cstdint>

#include "physics/engine/PhysicsVector.h"

// The work record of the shape tests: a point on A, a point on B (second = first + normal ·
// depth), the normal from B toward A, the two edges of an edge contact, the depth, whether there
// is a contact and whether it is an edge contact.
struct PhysicsTestResult {
    PhysicsVector first;
    PhysicsVector second;
    PhysicsVector normal;
    PhysicsVector edgeAStart;
    PhysicsVector edgeAEnd;
    PhysicsVector edgeBStart;
    PhysicsVector edgeBEnd;
    float depth = 0.0f;
    uint8_t valid = 0;
    uint8_t edgeContact = 0;

    // The closest points of the two edges when both lie within their edges (0 <= s, t < 1); the
    // points stay as they are for degenerate or parallel edges or points beyond an end.
    void ClosestEdgePoints();

    // The closest points of the lines through the two edges at the unclamped parameters s and t,
    // with their distance in depth; valid tells whether both lie within their edges. False (nothing
    // written) for degenerate or parallel edges.
    bool ClosestSegmentPoints(float& s, float& t);
};

// The parameters s of segment p0-p1 and t of segment q0-q1 (each from 0 to 1) of their nearest
// points; for parallel segments one of the nearest pairs, for a segment without length its start.
void ClosestSegmentParameters(const PhysicsVector& p0, const PhysicsVector& p1, const PhysicsVector& q0,
                              const PhysicsVector& q1, float& s, float& t);

// A unit vector for a contact whose two points coincide: the direction from B's centre toward
// A's, or the hint when the centres coincide too.
PhysicsVector FallbackNormal(const PhysicsVector& centreA, const PhysicsVector& centreB, const PhysicsVector& hint);
