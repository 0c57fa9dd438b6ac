#include "physics/engine/PhysicsSimulator.h"

// The joint passes of the step. Nothing in the game makes joints, so the group list is empty and
// each pass returns at once; the passes below walk whatever groups there are.

namespace {

PhysicsRigidBody* RigidOrNull(PhysicsBody* body)
{
    return body && body->IsRigid() ? static_cast<PhysicsRigidBody*>(body) : nullptr;
}

}  // namespace

void PhysicsSimulator::ApplyJointDamping()
{
    for (PhysicsJointGroup* group = m_jointGroups.head; group; group = group->next)
        for (PhysicsJoint* joint = group->joints.head; joint; joint = joint->next) {
            if (!joint->enabled || !joint->bodyA) continue;
            PhysicsRigidBody* bodyB = RigidOrNull(joint->bodyB);
            PhysicsVector w = joint->bodyA->GetAngularVelocity();
            if (bodyB) w -= bodyB->GetAngularVelocity();
            if (joint->kind == PhysicsJoint::kHinge) {
                const PhysicsVector axis = joint->worldFrameA.axes.row[0];
                w = axis * Dot(w, axis);
            } else if (joint->kind != PhysicsJoint::kBallSocket) {
                continue;
            }
            const PhysicsVector torque = w * joint->damping;
            joint->bodyA->torqueAccumulator -= torque;
            if (bodyB) bodyB->torqueAccumulator += torque;
        }
}

void PhysicsSimulator::SolveJointGroups()
{
    if (m_jointGroups.count == 0) return;
    for (PhysicsJointGroup* group = m_jointGroups.head; group; group = group->next) group->solved = 0;
    for (PhysicsJointGroup* group = m_jointGroups.head; group; group = group->next) {
        m_jointRows.Clear();
        m_contactRows.Clear();
        group->solved = 1;
    }
}

void PhysicsSimulator::RunJointControllers()
{
    for (PhysicsJointGroup* group = m_jointGroups.head; group; group = group->next)
        for (PhysicsJoint* joint = group->joints.head; joint; joint = joint->next) {
            if (!joint->enabled || !joint->bodyA) continue;
            PhysicsRigidBody* bodyB = RigidOrNull(joint->bodyB);
            for (PhysicsJointController* controller = joint->controllers.head; controller; controller = controller->next) {
                if (controller->countdown == 0) {
                    if (controller->callback) controller->callback->JointControllerStep(*controller, m_stepLength);
                    controller->countdown = controller->period;
                } else {
                    --controller->countdown;
                }
                joint->bodyA->forceAccumulator += controller->forceA;
                joint->bodyA->torqueAccumulator += controller->torqueA;
                if (bodyB) {
                    bodyB->forceAccumulator += controller->forceB;
                    bodyB->torqueAccumulator += controller->torqueB;
                }
            }
        }
}
