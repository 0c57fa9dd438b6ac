#pragma once
#include <cstdint>

#include "physics/engine/PhysicsVector.h"

class PhysicsBody;
class PhysicsGeometry;

// What the collision callback is told of one contact. The simulator overwrites one shared record
// before each call: a callback copies what it needs.
struct PhysicsCollisionInfo {
    enum BodyKind : int32_t { kNoBody = 0, kRigidBody = 1, kAnimatedBody = 2 };

    PhysicsBody* bodyA = nullptr;
    PhysicsBody* bodyB = nullptr;  // null for a terrain contact
    int32_t kindA = kNoBody;
    int32_t kindB = kNoBody;
    PhysicsGeometry* geometryA = nullptr;
    PhysicsGeometry* geometryB = nullptr;
    int32_t materialA = 0;
    int32_t materialB = 0;
    PhysicsVector localPointA;
    PhysicsVector localPointB;
    PhysicsVector worldPointA;
    PhysicsVector worldPointB;
    PhysicsVector relativeVelocity;
    PhysicsVector normal;  // unit, from B toward A
};

using PhysicsCollisionCallback = void (*)(PhysicsCollisionInfo* info);
using PhysicsLogCallback = void (*)(const char* message);
