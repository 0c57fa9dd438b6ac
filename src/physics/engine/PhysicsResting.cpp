#include <algorithm>
#include <cmath>

#include "physics/engine/PhysicsRigidBody.h"
#include "physics/engine/PhysicsSimulator.h"

// Resting: rest contacts recorded on landing, the decisions to put a body to rest and to wake
// it, and the resting rows that hold settled bodies up.

namespace {

constexpr int32_t kIdleWindow = 60;
constexpr float kSamePointRadiusSq = 0.0025f;
constexpr float kSeparationLimit = 0.01f;
constexpr float kContactDriftLimit = 0.001f;
constexpr float kRowDriftLimit = 0.025f;
constexpr float kInPlaceLimit = 0.002f;
constexpr float kBalanceDistance = 0.005f;

bool SupportIsStill(const PhysicsRestContact& contact)
{
    const PhysicsBody* other = contact.otherBody;
    if (!other) return false;
    if (other->IsRigid()) return static_cast<const PhysicsRigidBody*>(other)->IsAtRest();
    return static_cast<const PhysicsAnimatedBody*>(other)->changed == 0;
}

bool IsUsedAndStill(const PhysicsRestContact& contact)
{
    return contact.state != PhysicsRestContact::kEmpty && SupportIsStill(contact);
}

void UpdateContact(PhysicsRestContact& contact, const PhysicsRigidBody& owner)
{
    const PhysicsTransform& other = contact.otherBody->transform;
    contact.worldPoint = TransformPoint(owner.transform, contact.localPoint);
    contact.otherWorldPoint = TransformPoint(other, contact.otherLocalPoint);
    contact.normal = ToWorld(other.axes, contact.otherLocalNormal);
    contact.difference = contact.worldPoint - contact.otherWorldPoint;
    contact.separation = Dot(contact.difference, contact.normal);
    contact.drift = LengthSq(contact.difference - contact.normal * contact.separation);
}

float Average(const PhysicsVector* history, int32_t count, PhysicsVector& sum)
{
    sum = PhysicsVector{};
    for (int32_t i = 0; i < count; ++i) sum += history[i];
    sum *= 1.0f / static_cast<float>(count);
    return LengthSq(sum);
}

}  // namespace

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
    // A body the game put to rest without ever landing stays where it was put.
    if (!IsParticle() && stackingRecord && TestSupport() == 0) return 0;
    ClearMotion();
    return 1;
}

void PhysicsRigidBody::UpdateRestCounter()
{
    const float threshold = PhysicsSimulator::kRestSpeedThreshold;
    if (LengthSq(velocity) < threshold && LengthSq(angularVelocity) < threshold) {
        ++restCounter;
    } else {
        PhysicsVector linear;
        Average(velocityHistory, kHistoryLength, linear);
        const PhysicsVector& down = owner->GetGravityDirection();
        const float along = Dot(linear, down);
        if (along > 0.0f) linear -= down * along;
        PhysicsVector angular;
        if (LengthSq(linear) > 2.0f || Average(angularVelocityHistory, kHistoryLength, angular) > 1.0f) {
            restCounter = 0;
            return;
        }
        ++restCounter;
    }
    if (restCounter <= 10 || !stackingRecord || !RestContactsInPlace()) return;
    const int32_t support = TestSupport();
    if (support == 3 || (support == 2 && restCounter > 100)) PutToRest();
}

void PhysicsRigidBody::DropRestContact(PhysicsRestContact& contact)
{
    contact.state = PhysicsRestContact::kEmpty;
    contact.stamp = 0;
    contact.otherBody = nullptr;
}

void PhysicsRigidBody::InsertRestContact(const PhysicsRestContactDescription& description)
{
    PhysicsRestContact* chosen = nullptr;
    PhysicsRestContact* empty = nullptr;
    PhysicsRestContact* shallowest = nullptr;
    for (PhysicsRestContact& contact : restContacts) {
        if (contact.state == PhysicsRestContact::kEmpty) {
            empty = &contact;
            continue;
        }
        if (contact.depth != 0.0f && (!shallowest || contact.depth < shallowest->depth)) shallowest = &contact;
        if (LengthSq(contact.localPoint - description.localPoint) < kSamePointRadiusSq) {
            chosen = &contact;
            break;
        }
    }
    if (!chosen) chosen = empty ? empty : (shallowest ? shallowest : &restContacts[0]);
    DropRestContact(*chosen);
    chosen->localPoint = description.localPoint;
    chosen->otherLocalPoint = description.otherLocalPoint;
    chosen->otherLocalNormal = description.otherLocalNormal;
    chosen->material = description.material;
    chosen->otherMaterial = description.otherMaterial;
    chosen->depth = description.depth;
    chosen->otherBody = description.otherBody;
    chosen->owner = this;
    chosen->stamp = owner->GetStepCounter();
    chosen->state = description.otherBody->IsAnimated() ? PhysicsRestContact::kOnAnimated : PhysicsRestContact::kOnRigid;
}

int32_t PhysicsRigidBody::AddRestContact(const PhysicsRestContactDescription& description)
{
    PhysicsSimulator& simulator = *owner;
    if (!stackingRecord && !simulator.TakeStackingRecord(this)) return 0;
    PhysicsStackingRecord* record = stackingRecord;
    record->supportOnly = 0;
    InsertRestContact(description);
    if (description.otherBody->IsAnimated()) {
        if (!record->group) simulator.MoveToLoneList(record);
        return 1;
    }
    auto* other = static_cast<PhysicsRigidBody*>(description.otherBody);
    PhysicsStackingRecord* otherRecord = other->stackingRecord;
    const bool otherWasLone = otherRecord && otherRecord->group == &simulator.LoneList();
    if (!otherRecord) {
        otherRecord = simulator.TakeStackingRecord(other);
        if (!otherRecord) {
            // Nothing to stack with: this body is solved alone on its supports.
            if (!record->group) simulator.MoveToLoneList(record);
            return 1;
        }
        otherRecord->supportOnly = 1;
    }
    const bool joined = otherRecord->group && otherRecord->group == record->group;
    simulator.JoinStack(record, otherRecord);
    if (!joined && (otherWasLone || otherRecord->supportOnly) && !other->jointGroup) other->Wake();
    return 1;
}

void PhysicsRigidBody::ReleaseRestContacts()
{
    for (PhysicsRestContact& contact : restContacts) contact = PhysicsRestContact{};
    supportCount = 0;
    if (stackingRecord) owner->FreeStackingRecord(stackingRecord);
    stackingRecord = nullptr;
}

bool PhysicsRigidBody::IsIdle()
{
    if (idleCounter < kIdleWindow) return false;
    const float window = static_cast<float>(kIdleWindow) * owner->GetStepLength();
    auto exceeds = [&](const PhysicsVector& change, float limit) {
        if (std::sqrt(LengthSq(change)) / window <= limit) return false;
        ResetIdle();
        return true;
    };
    if (exceeds(transform.position - idlePosition, idleSpeedLimit)) return false;
    if (exceeds(velocity - idleVelocity, 5.0f)) return false;
    const PhysicsQuaternion conjugate{-idleRotation.x, -idleRotation.y, -idleRotation.z, idleRotation.w};
    const PhysicsQuaternion turn = Multiply(rotation, conjugate);
    const float vectorSq = turn.x * turn.x + turn.y * turn.y + turn.z * turn.z;
    float angle = 0.0f;
    if (vectorSq >= kPhysicsEpsilon && std::fabs(turn.w - 1.0f) >= kPhysicsEpsilon)
        angle = 2.0f * std::acos(std::clamp(turn.w, -1.0f, 1.0f));
    if (angle / window > 10.0f) {
        ResetIdle();
        return false;
    }
    return !exceeds(angularVelocity - idleAngularVelocity, 10.5f);
}

int32_t PhysicsRigidBody::TestSupport() const
{
    const PhysicsVector net = gravityForce + controllerForce + forceAccumulator;
    if (std::fabs(net.x) < 1e-6f && std::fabs(net.y) < 1e-6f && std::fabs(net.z) < 1e-6f) return 3;
    PhysicsVector t1, t2;
    MakeTangentBasis(t1, t2, Normalized(net));
    float px[3], py[3];
    for (int32_t i = 0; i < supportCount; ++i) {
        const PhysicsRestContact& contact = restContacts[supportSlots[i]];
        if (!IsUsedAndStill(contact)) return 0;
        const PhysicsVector p = contact.worldPoint - transform.position;
        px[i] = Dot(p, t1);
        py[i] = Dot(p, t2);
    }
    if (supportCount == 3) {
        const float cx = (px[0] + px[1] + px[2]) / 3.0f, cy = (py[0] + py[1] + py[2]) / 3.0f;
        for (int i = 0; i < 3; ++i) {
            px[i] = cx + 1.1f * (px[i] - cx);
            py[i] = cy + 1.1f * (py[i] - cy);
        }
        int positive = 0, negative = 0;
        for (int i = 0; i < 3; ++i) {
            const int j = (i + 1) % 3;
            const float side = py[i] * px[j] - py[j] * px[i];
            positive += side > 0.0f;
            negative += side < 0.0f;
        }
        return (positive == 3 || negative == 3) ? 3 : 0;
    }
    if (supportCount == 2) {
        float ux = px[1] - px[0], uy = py[1] - py[0];
        const float length = std::sqrt(ux * ux + uy * uy);
        if (length > 0.0f) {
            ux /= length;
            uy /= length;
        }
        const float along = ux * px[0] + uy * py[0];
        const float dx = px[0] - ux * along, dy = py[0] - uy * along;
        return std::sqrt(dx * dx + dy * dy) < kBalanceDistance ? 2 : 0;
    }
    if (supportCount == 1) return std::sqrt(px[0] * px[0] + py[0] * py[0]) < kBalanceDistance ? 1 : 0;
    return 0;
}

bool PhysicsRigidBody::RestContactsInPlace()
{
    if (!stackingRecord || stackingRecord->supportOnly || supportCount < 2) return false;
    for (int32_t i = 0; i < supportCount; ++i) {
        PhysicsRestContact& contact = restContacts[supportSlots[i]];
        bool inPlace = contact.state != PhysicsRestContact::kEmpty && contact.otherBody;
        if (inPlace) {
            const PhysicsVector here = TransformPoint(transform, contact.localPoint);
            const PhysicsVector there = TransformPoint(contact.otherBody->transform, contact.otherLocalPoint);
            inPlace = LengthSq(here - there) <= kInPlaceLimit;
        }
        if (!inPlace) {
            DropRestContact(contact);
            supportCount = 0;
            return false;
        }
    }
    return true;
}

bool PhysicsRigidBody::IsPresent(const PhysicsBody& other) const
{
    return other.inUse || &other == &owner->TerrainBody();
}

int32_t PhysicsRigidBody::CheckRestContacts()
{
    for (PhysicsRestContact& contact : restContacts)
        if (contact.state != PhysicsRestContact::kEmpty && (!contact.otherBody || !IsPresent(*contact.otherBody)))
            DropRestContact(contact);
    if (IsAtRest() && !pushedLastStep) {
        int32_t count = 0;
        for (const PhysicsRestContact& contact : restContacts) {
            if (contact.state == PhysicsRestContact::kEmpty) continue;
            if (!SupportIsStill(contact)) break;
            ++count;
        }
        return count;
    }
    int32_t valid = 0;
    for (PhysicsRestContact& contact : restContacts) {
        if (contact.state == PhysicsRestContact::kEmpty) continue;
        UpdateContact(contact, *this);
        if (Dot(contact.normal, owner->GetGravityDirection()) <= 0.0f && contact.separation <= kSeparationLimit &&
            contact.drift <= kContactDriftLimit) {
            ++valid;
            continue;
        }
        DropRestContact(contact);
        supportCount = 0;
    }
    stackingRecord->lostSupport = valid == 0 ? 1 : 0;
    return valid;
}

int32_t PhysicsRigidBody::BuildRestingRows(int32_t keepAll)
{
    PhysicsSimulator& simulator = *owner;
    PhysicsRestContact* usable[3];
    int32_t usableCount = 0;
    for (PhysicsRestContact& contact : restContacts) {
        if (contact.state == PhysicsRestContact::kEmpty) continue;
        PhysicsBody* other = contact.otherBody;
        if (!other || !IsPresent(*other) || (other != &simulator.TerrainBody() && !other->IsActive())) {
            DropRestContact(contact);
            continue;
        }
        UpdateContact(contact, *this);
        if (contact.drift > kRowDriftLimit) {
            DropRestContact(contact);
            supportCount = 0;
            continue;
        }
        usable[usableCount++] = &contact;
    }
    supportCount = 0;
    if (usableCount == 0) return 0;

    auto build = [&](PhysicsRestContact& contact) {
        PhysicsCollisionResult row;
        row.rowType = PhysicsCollisionResult::kRestingRow;
        row.armA = contact.worldPoint - transform.position;
        row.armB = contact.otherWorldPoint - contact.otherBody->transform.position;
        row.normal = contact.normal;
        row.materialA = contact.material;
        row.materialB = contact.otherMaterial;
        row.depth = -contact.separation;
        row.bodyA = this;
        row.bodyB = contact.otherBody;
        row.valid = 1;
        row.Prepare(0, 0);
        if (keepAll || row.CheckRestingPair() == 0) simulator.AppendContactRow(row);
    };
    if (usableCount == 1) {
        if (usable[0]->separation < 0.0f) build(*usable[0]);
        return usable[0]->separation < 0.0f ? 1 : 0;
    }
    for (int32_t i = 0; i < usableCount; ++i) {
        if (usable[i]->separation > kSeparationLimit) continue;
        build(*usable[i]);
        supportSlots[supportCount++] = static_cast<int32_t>(usable[i] - restContacts);
    }
    return supportCount;
}
