#pragma once
#include <cstdint>

#include "physics/engine/PhysicsBody.h"
#include "physics/engine/PhysicsRestContact.h"

struct PhysicsStackingRecord;

// A simulated body: mass, inertia, damping and its state of motion, integrated in two passes
// per step (forces, then positions). A rigid particle is a rigid body from the particle pool.
class PhysicsRigidBody : public PhysicsBody {
public:
    static constexpr int32_t kHistoryLength = 10;

    void Init(PhysicsSimulator* simulator, int32_t bodyIndex, bool isParticle);

    // Mass and its inverse; a mass that is not positive and finite makes the body immovable
    // (inverse mass and inverse inertia 0, no weight): impacts neither move nor turn it.
    void SetMass(float value);
    float GetMass() const { return mass; }
    float GetInverseMass() const { return inverseMass; }
    // The diagonal body inertia (Ixx, Iyy, Izz) and its inverse; with |Ixx·Iyy·Izz| below 1e-17,
    // or for an immovable body, the inverse is left as it was.
    void SetInertiaTensor(const PhysicsVector& diagonal);
    void SetLinearDamping(float factor);
    void SetAngularDamping(float factor);

    const PhysicsVector& GetPos() const { return transform.position; }
    void SetPos(const PhysicsVector& value);
    const PhysicsQuaternion& GetRotation() const { return rotation; }
    void SetRotation(const PhysicsQuaternion& value);
    // The rotation axes and position with the fourth column (0, 0, 0, 1).
    PhysicsTransform GetTransform() const;
    const PhysicsVector& GetVelocity() const { return velocity; }
    void SetVelocity(const PhysicsVector& value);
    const PhysicsVector& GetAngularMomentum() const { return angularMomentum; }
    void SetAngularMomentum(const PhysicsVector& value);
    const PhysicsVector& GetAngularVelocity() const { return angularVelocity; }
    // Linear velocity + angular velocity × offset (world axes, from the body's position).
    PhysicsVector GetVelocityAtPoint(const PhysicsVector& offset) const;
    // Impulse at a world point; the body wakes.
    void ApplyImpulse(const PhysicsVector& impulse, const PhysicsVector& point);
    // Impulse of the solver at an arm from the body's position; returns 1.
    int32_t ApplyCollisionImpulse(const PhysicsVector& impulse, const PhysicsVector& arm);
    // A controller from the simulator's pool, run every period + 1 steps; null when exhausted.
    PhysicsController* AddController(PhysicsControllerCallback* callback, int32_t controllerPeriod);

    // Step passes.
    void IntegrateForces(float stepLength);
    void IntegratePosition(float stepLength, int32_t historySlot);

    void Wake();
    void WakeGroup();
    void ResetIdle();
    void PutToRest();
    void ClearMotion();
    bool IsAtRest() const { return restState != 0; }
    bool IsParticle() const { return particle != 0; }

    // Resting: the checks that keep a settled body at rest.
    int32_t HoldAtRest();
    void UpdateRestCounter();
    bool IsMoving() const;
    void ReleaseRestContacts();
    // Remembers a support point; 0 when no stacking record could be had.
    int32_t AddRestContact(const PhysicsRestContactDescription& description);
    void InsertRestContact(const PhysicsRestContactDescription& description);
    void DropRestContact(PhysicsRestContact& contact);
    bool IsIdle();
    // 3 flat on three points (or no net force), 2 balanced on an edge, 1 on a point, 0 unsupported.
    int32_t TestSupport() const;
    bool RestContactsInPlace();
    int32_t CheckRestContacts();
    // Whether a body a rest contact leans on still exists (the terrain always does).
    bool IsPresent(const PhysicsBody& other) const;
    // Type-2 rows of the rest contacts into the simulator's contact rows; the number of supports.
    int32_t BuildRestingRows(int32_t keepAll);

    float mass = 1.0f;
    float inverseMass = 1.0f;
    PhysicsMatrix3 bodyInertia = Identity3();
    PhysicsMatrix3 inverseBodyInertia = Identity3();
    PhysicsMatrix3 worldInverseInertia = Identity3();
    float linearDamping = 0.0f;
    float angularDamping = 0.0f;

    PhysicsQuaternion rotation;
    PhysicsVector angularMomentum;
    PhysicsVector velocity;
    PhysicsVector angularVelocity;
    PhysicsQuaternion rotationRate{0.0f, 0.0f, 0.0f, 0.0f};
    float speed = 0.0f;

    PhysicsVector forceAccumulator;
    PhysicsVector torqueAccumulator;
    PhysicsVector gravityForce;
    PhysicsVector controllerForce;
    PhysicsVector controllerTorque;
    PhysicsVector acceleration;

    int32_t gravityEnabled = 1;
    int32_t restState = 0;
    int32_t restCounter = 0;
    int32_t idleCounter = 0;
    PhysicsVector idlePosition;
    PhysicsQuaternion idleRotation;
    PhysicsVector idleVelocity;
    PhysicsVector idleAngularVelocity;
    float idleSpeedLimit = 0.2f;
    PhysicsVector velocityHistory[kHistoryLength];
    PhysicsVector angularVelocityHistory[kHistoryLength];

    int32_t pushedThisStep = 0;
    int32_t pushedLastStep = 0;
    int32_t positionPassDone = 0;
    PhysicsStackingRecord* stackingRecord = nullptr;
    PhysicsRestContact restContacts[3];
    int32_t supportCount = 0;
    int32_t supportSlots[3] = {0, 0, 0};
    int32_t particle = 0;
    int32_t inBodyGroup = 0;

private:
    // ω = world inverse inertia · L and the quaternion rate from it.
    void UpdateAngularVelocity();
    // Normalised quaternion, axes, world inverse inertia, ω, rate and speed.
    void UpdatePose();
    void ApplyControllers(float stepLength);
};
