#include <cmath>

#include "physics/engine/PhysicsSimulator.h"

// The constraint solver: impact impulses at once in the contact pass, and sequential-impulse
// sweeps over the resting rows of lone bodies and stacks in the constrain phase.

namespace {

constexpr int32_t kImpactMode = 1;
constexpr int32_t kRestingMode = 2;
constexpr float kMaxRestingDepth = 0.05f;

PhysicsRigidBody* RigidOrNull(PhysicsBody* body)
{
    return body && body->IsRigid() ? static_cast<PhysicsRigidBody*>(body) : nullptr;
}

PhysicsVector PointVelocity(PhysicsBody* body, const PhysicsVector& arm)
{
    PhysicsRigidBody* rigid = RigidOrNull(body);
    return rigid ? rigid->velocity + Cross(rigid->angularVelocity, arm) : PhysicsVector{};
}

// Relative velocity at the arms, in world axes and in contact coordinates.
void MeasureContact(PhysicsCollisionResult& row)
{
    row.relativeVelocity = PointVelocity(row.bodyA, row.armA) - PointVelocity(row.bodyB, row.armB);
    row.contactVelocity = {Dot(row.relativeVelocity, row.tangent1), Dot(row.relativeVelocity, row.tangent2),
                           Dot(row.relativeVelocity, row.normal), 0.0f};
    const float sq = LengthSq(row.contactVelocity);
    row.relativeSpeed = sq < kPhysicsEpsilon ? 0.0f : std::sqrt(sq);
}

// Velocity and angular momentum change of an impulse at an arm (the solver's sweeps).
void ApplyRowImpulse(PhysicsRigidBody& body, const PhysicsVector& impulse, const PhysicsVector& arm)
{
    body.velocity += impulse * body.inverseMass;
    body.angularMomentum += Cross(arm, impulse);
    body.angularVelocity = body.worldInverseInertia * body.angularMomentum;
}

}  // namespace

PhysicsVector PhysicsSimulator::ComputeContactImpulse(const PhysicsCollisionResult& row, int32_t noRestitution) const
{
    // A row whose K could not be inverted (nothing movable) gets no impulse.
    if (!(row.K.row[2].z > 0.0f) || !IsFinite(row.inverseK.row[2])) return PhysicsVector{};
    const PhysicsVector& v = row.contactVelocity;
    const float j0 = -v.z / row.K.row[2].z;
    const PhysicsVector stop = -(row.inverseK * v);
    const PhysicsMaterial& a = Material(row.materialA);
    const PhysicsMaterial& b = Material(row.materialB);
    const float mu = std::fmin(a.friction, b.friction);
    const float e = noRestitution ? 0.0f : std::fmin(a.restitution, b.restitution);
    const PhysicsVector normalAxis{0.0f, 0.0f, 1.0f, 0.0f};

    const PhysicsVector trial = stop + normalAxis * (e * j0);
    const float coneLimit = mu * trial.z;
    if (coneLimit * coneLimit >= trial.x * trial.x + trial.y * trial.y) return trial;

    const PhysicsVector sliding = stop - normalAxis * j0;
    const float denominator = std::sqrt(sliding.x * sliding.x + sliding.y * sliding.y) - mu * sliding.z;
    if (!(std::fabs(denominator) > 1e-6f)) return PhysicsVector{};
    const float lambda = mu * (1.0f + e) * j0 / denominator;
    return sliding * lambda + normalAxis * ((1.0f + e) * j0);
}

void PhysicsSimulator::SolveContact(PhysicsBody* bodyA, PhysicsBody* bodyB, PhysicsCollisionResult& row, int32_t mode,
                                    float)
{
    if (mode == kRestingMode) {
        row.SolveRestingRow(*this);
        return;
    }
    if (mode != kImpactMode) return;
    PhysicsRigidBody* a = RigidOrNull(bodyA);
    PhysicsRigidBody* b = RigidOrNull(bodyB);
    if (!a && !b) return;
    row.bodyA = bodyA;
    row.bodyB = bodyB;
    MeasureContact(row);
    if (row.contactVelocity.z >= 0.0f) return;
    const PhysicsVector impulse = ComputeContactImpulse(row, 0);
    if (!IsFinite(impulse)) return;
    const PhysicsVector world = ToWorld(PhysicsMatrix3{{row.tangent1, row.tangent2, row.normal}}, impulse);
    if (a) a->ApplyCollisionImpulse(world, row.armA);
    if (b) b->ApplyCollisionImpulse(-world, row.armB);
}

void PhysicsCollisionResult::SolveRestingRow(PhysicsSimulator& simulator)
{
    PhysicsVector impulse;
    if (contactVelocity.z < 0.0f) {
        impulse = simulator.ComputeContactImpulse(*this, simulator.StackPass());
        contactVelocity.z = 0.0f;
    }
    depth = std::fmin(depth, kMaxRestingDepth);
    const float excess = depth - 0.001f * simulator.GetGravityMagnitude();
    if (depth > 0.0f && excess > 0.0f && simulator.StackPass() == 1) {
        const float push = 0.5f / simulator.GetStepLength() * excess;
        if (push > contactVelocity.z) {
            const float change = push - 0.5f * contactVelocity.z;
            impulse += inverseK * PhysicsVector{0.0f, 0.0f, change, 0.0f};
        }
    }
    if (!IsFinite(impulse)) return;
    const PhysicsVector world = ToWorld(PhysicsMatrix3{{tangent1, tangent2, normal}}, impulse);
    if (PhysicsRigidBody* a = RigidOrNull(bodyA)) ApplyRowImpulse(*a, world, armA);
    if (PhysicsRigidBody* b = RigidOrNull(bodyB); b && !simulator.LockB()) ApplyRowImpulse(*b, -world, armB);
}

void PhysicsSimulator::SolveRow(PhysicsCollisionResult& row)
{
    // Joint rows are never built in the game; only resting rows are solved here.
    if (row.rowType != PhysicsCollisionResult::kRestingRow) return;
    MeasureContact(row);
    row.SolveRestingRow(*this);
}

void PhysicsSimulator::IterateRows(int32_t iterations)
{
    m_stackPass = 0;
    if (m_jointRows.Count() == 0 && m_contactRows.Count() == 0) return;
    const int32_t n = iterations == -1 ? 4 : iterations;
    m_lockB = false;
    for (int32_t pass = 0; pass < 2; ++pass) {
        if (pass == 1) m_stackPass = 1;
        for (int32_t i = 0; i < n; ++i) {
            if (pass == 1 && i == n - 1) m_lockB = true;
            for (int32_t r = 0; r < m_jointRows.Count(); ++r) SolveRow(m_jointRows[r]);
            for (int32_t r = m_contactRows.Count() - 1; r >= 0; --r) SolveRow(m_contactRows[r]);
            if (pass == 1 && i == n - 2)
                for (int32_t r = 0; r < m_contactRows.Count(); ++r)
                    if (m_contactRows[r].rowType == PhysicsCollisionResult::kRestingRow) m_contactRows[r].Prepare(0, 1);
        }
    }
    m_jointRows.Clear();
    m_contactRows.Clear();
}

void PhysicsSimulator::ConstrainPass()
{
    m_contactRows.Clear();
    m_stackPass = 1;
    SolveLoneBodies();
    DissolveSmallStacks();
    for (PhysicsStackingGroup* group = m_stackingGroups.head; group; group = group->next)
        if (!group->allAtRest && !group->solvedThisStep) SolveStack(*group);
    ClearBodyGroup();
    m_contactRows.Clear();
}

void PhysicsSimulator::SolveLoneBodies()
{
    for (PhysicsStackingRecord* record = m_loneList.members.head; record; record = record->next) {
        PhysicsRigidBody* body = record->body;
        if (body->IsAtRest() || !body->positionPassDone) continue;
        body->BuildRestingRows(0);
        for (int32_t r = 0; r < m_contactRows.Count(); ++r) {
            PhysicsCollisionResult& row = m_contactRows[r];
            MeasureContact(row);
            SolveContact(row.bodyA, row.bodyB, row, kRestingMode, 1.0f);
        }
        m_contactRows.Clear();
        if (body->IsIdle() && body->RestContactsInPlace() && body->TestSupport() != 0) body->PutToRest();
    }
}

void PhysicsSimulator::SolveStack(PhysicsStackingGroup& group)
{
    ClearBodyGroup();
    m_contactRows.Clear();
    BuildStackRows(group);
    TimePhase(PhysicsPerfTimers::kSolver);
    IterateRows(2);
    TimePhase(PhysicsPerfTimers::kRowIterations);
    for (PhysicsRigidBody* body : m_bodyGroup)
        if (!body->IsIdle()) return;
    for (PhysicsRigidBody* body : m_bodyGroup)
        if (body->RestContactsInPlace()) body->PutToRest();
}
