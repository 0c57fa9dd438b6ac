#pragma once
#include <cstdint>

#include "physics/engine/PhysicsVector.h"

class PhysicsBody;
class PhysicsRigidBody;

// A support point remembered by a rigid body that landed on something.
struct PhysicsRestContact {
    enum State : int32_t { kEmpty = 0, kOnRigid = 1, kOnAnimated = 2 };

    PhysicsVector localPoint;
    PhysicsVector otherLocalPoint;
    PhysicsVector worldPoint;
    PhysicsVector otherWorldPoint;
    PhysicsVector difference;
    PhysicsVector otherLocalNormal;
    PhysicsVector normal;
    float depth = 0.0f;
    float separation = 0.0f;
    float drift = 0.0f;
    int32_t material = 0;
    int32_t otherMaterial = 0;
    int32_t state = kEmpty;
    PhysicsBody* otherBody = nullptr;
    PhysicsRestContact* next = nullptr;
    PhysicsRestContact* prev = nullptr;
    PhysicsRigidBody* owner = nullptr;
    int32_t stamp = 0;
};

// What the contact handler tells a body about a support point it landed on.
struct PhysicsRestContactDescription {
    PhysicsBody* otherBody = nullptr;
    PhysicsVector localPoint;
    PhysicsVector otherLocalPoint;
    PhysicsVector otherLocalNormal;  // from the other body toward this one, in the other's frame
    int32_t material = 0;
    int32_t otherMaterial = 0;
    float depth = 0.0f;
};
