#pragma once
#include <cstdint>

#include "physics/engine/PhysicsVector.h"

class PhysicsBody;
class PhysicsGeometry;

// One point of contact, or one joint constraint, between two bodies: filled by the narrow phase
// and completed into a constraint row for the solver.
struct PhysicsCollisionResult {
    enum RowType : int32_t {
        kCollisionRow = 1,
        kRestingRow = 2,
        kJointPointRow = 3,
        kJointSliderPointRow = 4,
        kJointAxisRow = 5,
        kJointAngularRow = 6,
        kJointFrameRow = 7,
        kJointAngularMotorRow = 8,
        kNoRow = 9,
        kJointLinearMotorRow = 10,
    };

    PhysicsVector armA;
    PhysicsVector armB;
    PhysicsVector localPointA;
    PhysicsVector localPointB;
    PhysicsVector worldPointA;
    PhysicsVector worldPointB;
    PhysicsVector tangent1;
    PhysicsVector tangent2;
    PhysicsVector normal;  // unit, from B toward A
    PhysicsMatrix3 contactFrame;
    PhysicsVector relativeVelocity;
    PhysicsVector contactVelocity;
    PhysicsVector jointVector;
    int32_t materialA = 0;
    int32_t materialB = 0;
    float depth = 0.0f;
    int32_t valid = 0;
    PhysicsBody* bodyA = nullptr;
    PhysicsBody* bodyB = nullptr;
    float relativeSpeed = 0.0f;
    float jointValue = 0.0f;
    PhysicsGeometry* geometryA = nullptr;
    PhysicsGeometry* geometryB = nullptr;
    PhysicsMatrix3 K;
    PhysicsMatrix3 inverseK;
    int32_t jointWord = 0;
    int32_t rowType = kCollisionRow;

    // Prepares the row for its type; a set flag makes that body immovable for this row.
    void Prepare(int32_t ignoreA, int32_t ignoreB);
};
