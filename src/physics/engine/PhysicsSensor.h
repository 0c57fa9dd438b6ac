#pragma once
#include <cstdint>

#include "physics/engine/PhysicsVector.h"

class PhysicsBody;

// A line fixed to a body (start point and line vector in body space). After each step it holds
// the deepest contact the line found: depth (0 when nothing), world normal and point.
class PhysicsSensor {
public:
    void Init();

    // The unit direction is the line normalised (zero for a zero line); the length is |line|.
    void SetLine(const PhysicsVector& start, const PhysicsVector& line);
    const PhysicsVector& GetStart() const { return start; }
    const PhysicsVector& GetDirection() const { return direction; }
    float GetDepth() const { return depth; }
    const PhysicsVector& GetNormal() const { return normal; }
    const PhysicsVector& GetContactPoint() const { return contactPoint; }

    // Clears the contact of the last step.
    void ResetResult()
    {
        depth = 0.0f;
        hitBody = nullptr;
    }

    PhysicsVector start;
    PhysicsVector line;
    PhysicsVector direction;
    float length = 0.0f;

    float depth = 0.0f;
    PhysicsVector normal;
    PhysicsVector contactPoint;
    int32_t material = 0;
    PhysicsBody* hitBody = nullptr;

    PhysicsSensor* next = nullptr;
    PhysicsSensor* prev = nullptr;
    uint8_t inUse = 0;
};
