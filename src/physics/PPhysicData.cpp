#include "physics/PPhysicData.h"

#include "Render/PGameObject.h"
#include "physics/PPhysics.h"
#include "physics/PhysicsConversions.h"
#include "physics/engine/PhysicsAnimatedBody.h"
#include "physics/engine/PhysicsInertia.h"
#include "physics/engine/PhysicsRigidBody.h"

namespace {

constexpr float kDamping = 0.01f;
// The hold controller runs every second step.
constexpr int32_t kHoldPeriod = 1;

}  // namespace

CPPhysicData::~CPPhysicData() {
    if (CPPhysics* physics = GetPhysics()) physics->ForgetBinding(*this);
}

TPtr<CPPhysicData> CPPhysicData::CopyFor(CPGameObject* owner) const {
    TPtr<CPPhysicData> copy(new CPPhysicData(owner));
    copy->animatedCollisionClass = animatedCollisionClass;
    copy->shapes = shapes;
    for (CPPhysicShape& shape : copy->shapes) shape.geometry = nullptr;
    copy->mainShapeType = mainShapeType;
    copy->mainSizes = mainSizes;
    copy->mainDiameter = mainDiameter;
    copy->mass = mass;
    copy->particle = particle;
    return copy;
}

void CPPhysicData::DetachOwner() {
    if (CPPhysics* physics = GetPhysics()) physics->ForgetBinding(*this);
    m_owner = nullptr;
}

PhysicsBody* CPPhysicData::GetBody() const {
    if (animatedBody) return animatedBody;
    return rigidBody;
}

void CPPhysicData::SetBodyCollisionClass(int32_t collisionClass) {
    PhysicsBody* body = GetBody();
    if (!body) return;
    body->SetCollisionClass(collisionClass);
    body->UpdateBoundingInfo();
}

void CPPhysicData::SetupBody() {
    if (!rigidBody || !m_owner) return;
    rigidBody->SetAngularDamping(kDamping);
    rigidBody->SetLinearDamping(kDamping);
    if (mass > 0.0f) {
        if (mainShapeType == CPPhysicShape::Box) {
            rigidBody->SetInertiaTensor(BoxInertia({mainSizes.x, mainSizes.z, mainSizes.y, 0.0f}, mass));
        } else if (mainShapeType == CPPhysicShape::Cylinder) {
            rigidBody->SetInertiaTensor(CylinderInertia(mainDiameter, mainSizes.y, mass));
        }
    }
    rigidBody->SetMass(mass);
    rigidBody->SetPos(ToPhysics(m_owner->GetPosition()));
    rigidBody->SetRotation(NormalizedToPhysics(m_owner->GetRotation()));
    if (controllerRequest && !controller) controller = rigidBody->AddController(this, kHoldPeriod);
    rigidBody->UpdateBoundingInfo();
}

void CPPhysicData::AddToWorld() {
    CPPhysics* physics = GetPhysics();
    if (GetBody() || !physics || !m_owner) return;
    physics->AddObject(TPtr<CPGameObject>(m_owner), true);
    SetupBody();
}

void CPPhysicData::RemoveFromWorld() {
    CPPhysics* physics = GetPhysics();
    if (!GetBody() || !physics) return;
    physics->RemoveObject(TPtr<CPPhysicData>(this));
}

void CPPhysicData::SetAnimatedBodyPosition(const PVector3& position) {
    if (animatedBody) animatedBody->SetPos(ToPhysics(position));
}

void CPPhysicData::SetRotation(const PQuaternion& rotation) {
    if (animatedBody) animatedBody->SetRotation({rotation.x, rotation.y, rotation.z, rotation.w});
}

void CPPhysicData::ControllerStep(PhysicsController& /*controller*/, float /*stepLength*/) {
    if (!hold || !rigidBody) return;
    rigidBody->SetAngularMomentum(ToPhysics(heldAngularMomentum));
    rigidBody->SetVelocity(ToPhysics(heldVelocity));
}
