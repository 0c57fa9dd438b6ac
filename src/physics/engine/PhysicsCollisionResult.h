#pragma once
#include <cstdint>

#include "physics/engine/PhysicsVector.h"

class PhysicsBody;
class PhysicsGeometry;
class PhysicsSimulator;

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
    // K of a point row and its inverse: frame flag 0 in contact coordinates, 1 in world axes.
    void ComputePointK(const PhysicsBody* a, const PhysicsBody* b, int32_t worldFrame);
    // K = I_A + I_B of an angular row and its inverse.
    void ComputeAngularK(const PhysicsBody* a, const PhysicsBody* b);
    // 1 when a resting row between these bodies is not needed; may take a resting body out.
    int32_t CheckRestingPair();
    // One sequential-impulse update of a resting row (its velocities measured just before).
    void SolveRestingRow(PhysicsSimulator& simulator);
};

// Two unit tangents perpendicular to a unit normal (zero for a degenerate normal).
void MakeTangentBasis(PhysicsVector& tangent1, PhysicsVector& tangent2, const PhysicsVector& normal);

// The inverse of m; a matrix whose determinant is below 1e-17 in magnitude leaves inverse as it was.
bool InvertMatrix(const PhysicsMatrix3& m, PhysicsMatrix3& inverse);
