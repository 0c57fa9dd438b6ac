#include "physics/engine/PhysicsRigidBody.h"

#include <cmath>

#include "physics/engine/PhysicsSimulator.h"

void PhysicsRigidBody::Init(PhysicsSimulator* simulator, int32_t bodyIndex, bool isParticle)
{
    InitCommon(simulator, kRigid, bodyIndex);
    mass = inverseMass = 1.0f;
    bodyInertia = inverseBodyInertia = worldInverseInertia = Identity3();
    linearDamping = angularDamping = 0.0f;
    rotation = PhysicsQuaternion{};
    angularMomentum = velocity = angularVelocity = PhysicsVector{};
    rotationRate = PhysicsQuaternion{0.0f, 0.0f, 0.0f, 0.0f};
    speed = 0.0f;
    forceAccumulator = torqueAccumulator = controllerForce = controllerTorque = acceleration = PhysicsVector{};
    gravityEnabled = 1;
    gravityForce = simulator->GetGravity() * mass;
    restState = restCounter = 0;
    idleSpeedLimit = 0.2f;
    for (int i = 0; i < kHistoryLength; ++i) velocityHistory[i] = angularVelocityHistory[i] = PhysicsVector{};
    pushedThisStep = pushedLastStep = positionPassDone = 0;
    stackingRecord = nullptr;
    for (PhysicsRestContact& contact : restContacts) contact = PhysicsRestContact{};
    supportCount = 0;
    particle = isParticle ? 1 : 0;
    ResetIdle();
}

void PhysicsRigidBody::SetMass(float value)
{
    mass = value;
    const float inverse = 1.0f / value;
    inverseMass = (value > 0.0f && std::isfinite(value) && std::isfinite(inverse)) ? inverse : 0.0f;
    if (inverseMass == 0.0f) inverseBodyInertia = worldInverseInertia = PhysicsMatrix3{};
    if (gravityEnabled && !IsAtRest())
        gravityForce = inverseMass == 0.0f ? PhysicsVector{} : owner->GetGravity() * mass;
}

void PhysicsRigidBody::SetInertiaTensor(const PhysicsVector& diagonal)
{
    bodyInertia = Identity3();
    bodyInertia.row[0].x = diagonal.x;
    bodyInertia.row[1].y = diagonal.y;
    bodyInertia.row[2].z = diagonal.z;
    if (inverseMass != 0.0f && std::fabs(diagonal.x * diagonal.y * diagonal.z) >= 1e-17f) {
        inverseBodyInertia = Identity3();
        inverseBodyInertia.row[0].x = 1.0f / diagonal.x;
        inverseBodyInertia.row[1].y = 1.0f / diagonal.y;
        inverseBodyInertia.row[2].z = 1.0f / diagonal.z;
    }
    worldInverseInertia = TensorToWorld(transform.axes, inverseBodyInertia);
    UpdateAngularVelocity();
}

void PhysicsRigidBody::SetLinearDamping(float factor) { linearDamping = std::fabs(factor); }
void PhysicsRigidBody::SetAngularDamping(float factor) { angularDamping = std::fabs(factor); }

void PhysicsRigidBody::SetPos(const PhysicsVector& value)
{
    transform.position = {value.x, value.y, value.z, 1.0f};
    Wake();
}

void PhysicsRigidBody::SetRotation(const PhysicsQuaternion& value)
{
    rotation = value;
    transform.axes = AxesFromQuaternion(rotation);
    worldInverseInertia = TensorToWorld(transform.axes, inverseBodyInertia);
    Wake();
}

PhysicsTransform PhysicsRigidBody::GetTransform() const
{
    PhysicsTransform result = transform;
    for (PhysicsVector& axis : result.axes.row) axis.w = 0.0f;
    result.position.w = 1.0f;
    return result;
}

void PhysicsRigidBody::SetVelocity(const PhysicsVector& value)
{
    velocity = value;
    WakeGroup();
}

void PhysicsRigidBody::SetAngularMomentum(const PhysicsVector& value)
{
    angularMomentum = value;
    UpdateAngularVelocity();
    WakeGroup();
}

PhysicsVector PhysicsRigidBody::GetVelocityAtPoint(const PhysicsVector& offset) const
{
    if (!IsRigid()) return PhysicsVector{};
    return velocity + Cross(angularVelocity, offset);
}

void PhysicsRigidBody::ApplyImpulse(const PhysicsVector& impulse, const PhysicsVector& point)
{
    velocity += impulse * inverseMass;
    angularMomentum += Cross(point - transform.position, impulse);
    UpdateAngularVelocity();
    Wake();
}

int32_t PhysicsRigidBody::ApplyCollisionImpulse(const PhysicsVector& impulse, const PhysicsVector& arm)
{
    velocity += impulse * inverseMass;
    angularMomentum += Cross(arm, impulse);
    UpdateAngularVelocity();
    return 1;
}

PhysicsController* PhysicsRigidBody::AddController(PhysicsControllerCallback* callback, int32_t controllerPeriod)
{
    PhysicsController* controller = owner->ControllerPool().Take();
    if (!controller) {
        owner->Message("Run out of Controllers. Increase 'constraintSetsCount'.\n");
        owner->LogOutput(1);
        return nullptr;
    }
    controller->callback = callback;
    controller->period = controller->countdown = controllerPeriod;
    controller->force = controller->torque = PhysicsVector{};
    controller->body = this;
    controllers.Append(controller);
    return controller;
}

void PhysicsRigidBody::UpdateAngularVelocity()
{
    angularVelocity = worldInverseInertia * angularMomentum;
    rotationRate = QuaternionRate(angularVelocity, rotation);
}

void PhysicsRigidBody::UpdatePose()
{
    rotation = Normalized(rotation);
    transform.axes = AxesFromQuaternion(rotation);
    worldInverseInertia = TensorToWorld(transform.axes, inverseBodyInertia);
    UpdateAngularVelocity();
    speed = Length(velocity);
}

void PhysicsRigidBody::IntegrateForces(float h)
{
    ++idleCounter;
    if (IsAtRest()) {
        for (int i = 0; i < 3; ++i)
            if (std::fabs(At(controllerForce, i)) >= 1e-6f || std::fabs(At(controllerTorque, i)) >= 1e-6f) {
                Wake();
                break;
            }
        if (IsAtRest() && HoldAtRest() == 1) return;
    }

    const PhysicsVector force = gravityForce + controllerForce + forceAccumulator;
    acceleration = inverseMass == 0.0f ? PhysicsVector{} : force * inverseMass;
    velocity += acceleration * h;
    velocity *= 1.0f - linearDamping;

    const PhysicsVector torque = torqueAccumulator + controllerTorque;
    // Midpoint step of the rotation: the angular velocity of the half step turns the body.
    angularMomentum *= 1.0f - angularDamping;
    const PhysicsVector halfMomentum = angularMomentum + torque * (0.5f * h);
    const PhysicsQuaternion halfRotation = Normalized(rotation + rotationRate * (0.5f * h));
    const PhysicsMatrix3 halfAxes = AxesFromQuaternion(halfRotation);
    const PhysicsVector halfOmega = TensorToWorld(halfAxes, inverseBodyInertia) * halfMomentum;
    rotationRate = QuaternionRate(halfOmega, halfRotation);
    angularMomentum += torque * h;
    angularVelocity = halfOmega;
}

void PhysicsRigidBody::IntegratePosition(float h, int32_t historySlot)
{
    transform.position += velocity * h + acceleration * (0.5f * h * h);

    UpdateAngularVelocity();
    rotation = rotation + rotationRate * h;
    UpdatePose();

    gravityForce = (gravityEnabled && !IsAtRest() && inverseMass != 0.0f) ? owner->GetGravity() * mass : PhysicsVector{};
    ApplyControllers(h);
    ResetSensors();
    velocityHistory[historySlot] = velocity;
    angularVelocityHistory[historySlot] = angularVelocity;
}

void PhysicsRigidBody::ApplyControllers(float h)
{
    controllerForce = controllerTorque = PhysicsVector{};
    for (PhysicsController* controller = controllers.head; controller; controller = controller->next) {
        if (controller->countdown != 0) {
            --controller->countdown;
        } else {
            if (controller->callback) controller->callback->ControllerStep(*controller, h);
            controller->countdown = controller->period;
        }
        controllerForce += controller->force;
        controllerTorque += controller->torque;
    }
}

void PhysicsRigidBody::Wake()
{
    restState = 0;
    restCounter = 0;
    ResetIdle();
}

void PhysicsRigidBody::WakeGroup()
{
    // Joint groups are never formed in the game: every body wakes alone.
    Wake();
}

void PhysicsRigidBody::ResetIdle()
{
    idlePosition = transform.position;
    idleRotation = rotation;
    idleVelocity = velocity;
    idleAngularVelocity = angularVelocity;
    idleCounter = 0;
}

void PhysicsRigidBody::PutToRest()
{
    restState = 1;
    ClearMotion();
}

void PhysicsRigidBody::ClearMotion()
{
    velocity = angularVelocity = angularMomentum = PhysicsVector{};
    rotationRate = PhysicsQuaternion{0.0f, 0.0f, 0.0f, 0.0f};
    speed = 0.0f;
    for (int i = 0; i < kHistoryLength; ++i) velocityHistory[i] = angularVelocityHistory[i] = PhysicsVector{};
}
