#include "physics/engine/PhysicsRigidBody.h"
#include "physics/engine/PhysicsSimulator.h"

// Resting, stacking and the constraint solver. What stands here so far: a body put to rest stays
// there until something moves it; bodies do not yet come to rest by themselves, and contacts
// get no impulses.

bool PhysicsRigidBody::IsMoving() const
{
    return LengthSq(velocity) + LengthSq(angularVelocity) >= PhysicsSimulator::kRestSpeedThreshold;
}

int32_t PhysicsRigidBody::HoldAtRest()
{
    if (IsMoving()) {
        Wake();
        return 0;
    }
    ClearMotion();
    return 1;
}

void PhysicsRigidBody::UpdateRestCounter() {}

int32_t PhysicsRigidBody::AddRestContact(const PhysicsRestContactDescription&) { return 0; }

void PhysicsRigidBody::ReleaseRestContacts()
{
    for (PhysicsRestContact& contact : restContacts) contact = PhysicsRestContact{};
    supportCount = 0;
    stackingRecord = nullptr;
}

void PhysicsSimulator::UpdateStacks() {}

void PhysicsSimulator::ConstrainPass() {}

void PhysicsSimulator::SolveContact(PhysicsBody*, PhysicsBody*, PhysicsCollisionResult&, int32_t, float) {}

void PhysicsCollisionResult::Prepare(int32_t, int32_t) {}
