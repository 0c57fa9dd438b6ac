#pragma once
#include <cstdint>

#include "physics/engine/PhysicsList.h"

class PhysicsRigidBody;
class PhysicsSimulator;
struct PhysicsStackingGroup;

// The stacking membership of a rigid body that rests on, or supports, another rigid body.
struct PhysicsStackingRecord {
    int32_t visited = 0;
    int32_t supportOnly = 0;
    int32_t lostSupport = 0;
    PhysicsStackingGroup* group = nullptr;
    PhysicsRigidBody* body = nullptr;
    PhysicsStackingRecord* next = nullptr;
    PhysicsStackingRecord* prev = nullptr;
    uint8_t inUse = 0;
};

// Bodies resting on one another, solved together.
struct PhysicsStackingGroup {
    PhysicsSimulator* simulator = nullptr;
    PhysicsList<PhysicsStackingRecord> members;
    int32_t lone = 0;
    int32_t allAtRest = 0;
    int32_t solvedThisStep = 0;
    PhysicsStackingGroup* next = nullptr;
    PhysicsStackingGroup* prev = nullptr;
    uint8_t inUse = 0;
};
