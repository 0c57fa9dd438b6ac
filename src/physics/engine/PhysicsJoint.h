#pragma once
#include <cstdint>

#include "physics/engine/PhysicsList.h"
#include "physics/engine/PhysicsVector.h"

class PhysicsBody;
class PhysicsRigidBody;
struct PhysicsJoint;

// A callback that sets a joint controller's forces and torques.
class PhysicsJointControllerCallback {
public:
    virtual ~PhysicsJointControllerCallback() = default;
    virtual void JointControllerStep(struct PhysicsJointController& controller, float stepLength) = 0;
};

struct PhysicsJointController {
    int32_t period = 0;
    int32_t countdown = 0;
    PhysicsJointControllerCallback* callback = nullptr;
    PhysicsVector forceA;
    PhysicsVector torqueA;
    PhysicsVector forceB;
    PhysicsVector torqueB;
    PhysicsJointController* next = nullptr;
    PhysicsJointController* prev = nullptr;
};

// A joint binding a rigid body A to body B (rigid, animated or none). Nothing in the game makes
// joints: the pools stay full and every joint pass of the step finds empty lists.
struct PhysicsJoint {
    static constexpr int32_t kMaxPoints = 4;
    enum Kind : int32_t { kBallSocket = 0, kHinge = 2, kSlider = 3 };

    PhysicsList<PhysicsJointController> controllers;
    PhysicsRigidBody* bodyA = nullptr;
    PhysicsBody* bodyB = nullptr;
    int32_t kind = kBallSocket;
    int32_t pointCount = 0;
    PhysicsVector pointOnA[kMaxPoints];
    PhysicsVector pointOnB[kMaxPoints];
    PhysicsTransform frameOnA;
    PhysicsTransform frameOnB;
    PhysicsTransform worldFrameA;
    PhysicsTransform worldFrameB;
    int32_t enabled = 1;
    float accuracy = 0.0f;
    int32_t iterationCount = -1;
    float damping = 0.0f;
    int32_t limitEnabled = 0;
    int32_t limitState = 0;
    int32_t twistLimitEnabled = 0;
    int32_t motorEnabled = 0;
    float motorSpeed = 0.0f;
    float motorMaximum = 0.0f;
    PhysicsJoint* next = nullptr;
    PhysicsJoint* prev = nullptr;
    uint8_t inUse = 0;
};

// Joints solved together, with their bodies.
struct PhysicsJointGroup {
    PhysicsList<PhysicsJoint> joints;
    PhysicsBody* firstBody = nullptr;
    int32_t bodyCount = 0;
    int32_t solved = 0;
    PhysicsJointGroup* next = nullptr;
    PhysicsJointGroup* prev = nullptr;
    uint8_t inUse = 0;
};
