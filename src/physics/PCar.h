#pragma once
#include <array>
#include <cstdint>
#include <string>

#include "physics/engine/PhysicsController.h"
#include "script/PAbstractObject.h"

class CPGameObject;
class PhysicsRigidBody;

// The player's car as a driven vehicle: its four wheels are line sensors below the body, and
// every step the car's controller turns what they see into one force and one torque (springs,
// dampers, sideways grip, drive, steering, righting) and leaves dust behind the wheels.
//
// Wheels in order: 0 "fr", 1 "lf" (front), 2 "rr", 3 "lr" (rear); further sensors are ignored.
class CPCar : public IPAbstractObject, public PhysicsControllerCallback {
public:
    static constexpr int32_t kWheelCount = 4;

    explicit CPCar(CPGameObject* owner) : m_owner(owner) {}

    int32_t GetSize() const override { return static_cast<int32_t>(sizeof(*this)); }
    std::string GetClassName() const override { return "CPCar"; }

    // The wheel sensors under the owner's children "fr", "lf", "rr", "lr", the controller, and
    // the owner's body set up.
    void Setup();
    void ControllerStep(PhysicsController& controller, float stepLength) override;
    // The car stops driving its owner's current body (when it is replaced by another car). The
    // controller is looked up on that body, never remembered: a body freed with its world (or
    // parked) takes the controller along.
    void Detach();

    float throttle = 0.0f;
    float steeringAngle = 0.0f;
    float rearGripFactor = 0.0f;
    // Length of the body's velocity, written every step.
    float speed = 0.0f;
    std::array<float, kWheelCount> dustTimers{};

private:
    PhysicsRigidBody* Body() const;

    CPGameObject* m_owner;
};
