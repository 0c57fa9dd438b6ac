#pragma once
#include <string>

#include "AI/LocalFrame.h"
#include "core/PMMObject.h"

// A steering vehicle: an oriented frame with mass, radius and force and speed limits that
// integrates a steering force into its velocity and position. Each enemy owns one; the AI task
// owns one more that stands for the player's car.
//
// While moving, Speed() is the maximum speed, whatever the integrated speed was, so Velocity() is
// forward × maxSpeed; AlignToVelocity stores velocity / maxSpeed as forward, which is then shorter
// than 1 when the vehicle runs below its maximum speed and so carries the speed between steps.
class SimpleVehicle : public IPMMObject, public CPLocalFrame {
public:
    // Reset frame, mass 1, speed 0, radius 0.5, maximum force 0.1, maximum speed 1.
    SimpleVehicle() = default;

    int32_t GetSize() const override { return static_cast<int32_t>(sizeof(*this)); }
    std::string GetClassName() const override { return "SimpleVehicle"; }

    float Mass() const { return mass; }
    void SetMass(float value) { mass = value; }
    float Radius() const { return radius; }
    void SetRadius(float value) { radius = value; }
    float MaxForce() const { return maxForce; }
    void SetMaxForce(float value) { maxForce = value; }
    float MaxSpeed() const { return maxSpeed; }
    void SetMaxSpeed(float value) { maxSpeed = value; }
    // The maximum speed while the stored speed is not 0, else 0.
    float Speed() const { return speed != 0.0f ? maxSpeed : 0.0f; }
    void SetSpeed(float value) { speed = value; }
    PVector3 Velocity() const { return forward * Speed(); }
    PVector3 PredictPosition(float time) const { return position + Velocity() * time; }
    const PVector3& LastForce() const { return lastForce; }

    // One integration step: the force is limited, clipped to the maximum force and divided by
    // the mass; the smoothed acceleration follows it; the velocity, clipped to the maximum speed,
    // moves the vehicle and becomes its heading.
    void ApplySteering(const PVector3& force, float dt);
    // A standing vehicle's force is turned along forward (its length kept); a moving vehicle's,
    // the zero force and any force of a vehicle whose maximum speed is 0 are kept as they are.
    PVector3 LimitSteeringForce(const PVector3& force) const;

    // Steering state of the wander walk, each in [-1, 1].
    float wanderSide = 0.0f;
    float wanderUp = 0.0f;

private:
    void AlignToVelocity(const PVector3& velocity);

    PVector3 lastForce{0.0f, 0.0f, 0.0f};
    float mass = 1.0f;
    float radius = 0.5f;
    float speed = 0.0f;
    float maxForce = 0.1f;
    float maxSpeed = 1.0f;
    PVector3 smoothedAccel{0.0f, 0.0f, 0.0f};
};
