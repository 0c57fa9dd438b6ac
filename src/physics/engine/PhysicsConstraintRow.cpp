#include <cmath>
#include <initializer_list>

#include "physics/engine/PhysicsCollisionResult.h"
#include "physics/engine/PhysicsRigidBody.h"

namespace {

const PhysicsRigidBody* MovableOrNull(const PhysicsBody* body, int32_t ignore)
{
    if (!body || ignore || !body->IsRigid()) return nullptr;
    return static_cast<const PhysicsRigidBody*>(body);
}

PhysicsMatrix3 Transposed(const PhysicsMatrix3& m)
{
    PhysicsMatrix3 t;
    for (int i = 0; i < 3; ++i)
        for (int j = 0; j < 3; ++j) At(t.row[i], j) = At(m.row[j], i);
    return t;
}

PhysicsMatrix3 Multiply(const PhysicsMatrix3& a, const PhysicsMatrix3& b)
{
    PhysicsMatrix3 result;
    const PhysicsMatrix3 bt = Transposed(b);
    for (int i = 0; i < 3; ++i)
        for (int j = 0; j < 3; ++j) At(result.row[i], j) = Dot(a.row[i], bt.row[j]);
    return result;
}

PhysicsMatrix3 CrossMatrix(const PhysicsVector& r)
{
    return {{{0.0f, -r.z, r.y, 0.0f}, {r.z, 0.0f, -r.x, 0.0f}, {-r.y, r.x, 0.0f, 0.0f}}};
}

// K -= [r]x I [r]x: the velocity change at the arm per unit impulse from the body's turning.
void SubtractAngularTerm(PhysicsMatrix3& k, const PhysicsVector& arm, const PhysicsMatrix3& inverseInertia)
{
    const PhysicsMatrix3 r = CrossMatrix(arm);
    const PhysicsMatrix3 term = Multiply(Multiply(r, inverseInertia), r);
    for (int i = 0; i < 3; ++i) k.row[i] -= term.row[i];
}

}  // namespace

bool InvertMatrix(const PhysicsMatrix3& m, PhysicsMatrix3& inverse)
{
    const PhysicsVector c0 = Cross(m.row[1], m.row[2]);
    const PhysicsVector c1 = Cross(m.row[2], m.row[0]);
    const PhysicsVector c2 = Cross(m.row[0], m.row[1]);
    const float determinant = Dot(m.row[2], c2);
    if (!(std::fabs(determinant) >= 1e-17f)) return false;
    const float scale = 1.0f / determinant;
    // The cofactor vectors are the columns of the inverse.
    for (int i = 0; i < 3; ++i)
        inverse.row[i] = PhysicsVector{At(c0, i) * scale, At(c1, i) * scale, At(c2, i) * scale, 0.0f};
    return true;
}

void MakeTangentBasis(PhysicsVector& tangent1, PhysicsVector& tangent2, const PhysicsVector& n)
{
    const float ax = std::fabs(n.x), ay = std::fabs(n.y), az = std::fabs(n.z);
    PhysicsVector t{1.0f, 1.0f, 1.0f, 0.0f};
    if (ax > ay && ax > az) t.x = -(n.y + n.z) / n.x;
    else if (ay > az) t.y = -(n.z + n.x) / n.y;
    else t.z = -(n.x + n.y) / n.z;
    tangent1 = IsFinite(t) ? Normalized(t) : PhysicsVector{};
    tangent2 = Cross(n, tangent1);
}

void PhysicsCollisionResult::ComputePointK(const PhysicsBody* a, const PhysicsBody* b, int32_t worldFrame)
{
    const auto* rigidA = MovableOrNull(a, 0);
    const auto* rigidB = MovableOrNull(b, 0);
    const float w = (rigidA ? rigidA->inverseMass : 0.0f) + (rigidB ? rigidB->inverseMass : 0.0f);
    K = Identity3();
    for (PhysicsVector& row : K.row) row *= w;
    // contactFrame has the tangents and the normal as columns: Cᵀ takes world into contact axes.
    const PhysicsMatrix3 toContact = Transposed(contactFrame);
    auto term = [&](const PhysicsRigidBody* body, const PhysicsVector& arm) {
        if (!body) return;
        if (worldFrame) {
            SubtractAngularTerm(K, arm, body->worldInverseInertia);
            return;
        }
        const PhysicsMatrix3 inertia = Multiply(Multiply(toContact, body->worldInverseInertia), contactFrame);
        SubtractAngularTerm(K, toContact * arm, inertia);
    };
    term(rigidA, armA);
    term(rigidB, armB);
    if (!InvertMatrix(K, inverseK)) inverseK = PhysicsMatrix3{};
}

void PhysicsCollisionResult::ComputeAngularK(const PhysicsBody* a, const PhysicsBody* b)
{
    K = PhysicsMatrix3{};
    for (const PhysicsRigidBody* body : {MovableOrNull(a, 0), MovableOrNull(b, 0)})
        if (body)
            for (int i = 0; i < 3; ++i) K.row[i] += body->worldInverseInertia.row[i];
    if (!InvertMatrix(K, inverseK)) inverseK = PhysicsMatrix3{};
}

void PhysicsCollisionResult::Prepare(int32_t ignoreA, int32_t ignoreB)
{
    const PhysicsRigidBody* a = MovableOrNull(bodyA, ignoreA);
    const PhysicsRigidBody* b = MovableOrNull(bodyB, ignoreB);
    switch (rowType) {
    case kCollisionRow:
    case kRestingRow:
        MakeTangentBasis(tangent1, tangent2, normal);
        for (int i = 0; i < 3; ++i)
            contactFrame.row[i] = PhysicsVector{At(tangent1, i), At(tangent2, i), At(normal, i), 0.0f};
        ComputePointK(a, b, 0);
        break;
    case kJointPointRow:
    case kJointSliderPointRow:
    case kJointAxisRow:
        ComputePointK(a, b, 1);
        break;
    case kJointAngularRow:
    case kJointAngularMotorRow:
    case kJointFrameRow:
        ComputeAngularK(a, b);
        break;
    case kJointLinearMotorRow: {
        const float w = (a ? a->inverseMass : 0.0f) + (b ? b->inverseMass : 0.0f);
        inverseK.row[0].x = w > 0.0f ? 1.0f / w : 0.0f;
        break;
    }
    default:
        break;
    }
}

int32_t PhysicsCollisionResult::CheckRestingPair()
{
    if (relativeSpeed > 1.0f) return 0;
    auto* a = bodyA && bodyA->IsRigid() ? static_cast<PhysicsRigidBody*>(bodyA) : nullptr;
    auto* b = bodyB && bodyB->IsRigid() ? static_cast<PhysicsRigidBody*>(bodyB) : nullptr;
    if (a && a->IsAtRest()) {
        if (!b || b->IsAtRest()) return 1;
        bodyA = nullptr;
        return 0;
    }
    if (b && b->IsAtRest() && a) bodyB = nullptr;
    return 0;
}
