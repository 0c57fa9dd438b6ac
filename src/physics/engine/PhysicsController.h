#pragma once
#include <cstdint>

#include "physics/engine/PhysicsVector.h"

class PhysicsController;

// The program's side of a controller: called from the step with the controller and the step
// length; it sets the controller's force and torque. It must not free bodies.
class PhysicsControllerCallback {
public:
    virtual ~PhysicsControllerCallback() = default;
    virtual void ControllerStep(PhysicsController& controller, float stepLength) = 0;
};

// A per-body callback run every period + 1 steps; its force (at the centre of mass) and torque
// are applied by every step.
class PhysicsController {
public:
    void SetForce(const PhysicsVector& value) { force = value; }
    void SetTorque(const PhysicsVector& value) { torque = value; }
    const PhysicsVector& GetForce() const { return force; }
    const PhysicsVector& GetTorque() const { return torque; }

    PhysicsControllerCallback* callback = nullptr;
    int32_t period = 0;
    int32_t countdown = 0;
    PhysicsVector force;
    PhysicsVector torque;
    class PhysicsRigidBody* body = nullptr;

    PhysicsController* next = nullptr;
    PhysicsController* prev = nullptr;
    uint8_t inUse = 0;
};
