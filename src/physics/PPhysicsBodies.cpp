// Bodies of scene objects: creation from their physics data, tracking, parking and freeing.
#include "Render/PGameObject.h"
#include "physics/PCar.h"
#include "physics/PPhysicData.h"
#include "physics/PPhysics.h"
#include "physics/PhysicsConversions.h"
#include "physics/engine/PhysicsSimulator.h"

namespace {

constexpr int32_t kRigidBodyClass = 1;

// The shape's placement in the body: its inverse rotation, normalised, and its position.
PhysicsTransform ShapeTransform(const CPPhysicShape& shape) {
    const PQuaternion& q = shape.rotation;
    PhysicsTransform transform;
    transform.axes = AxesFromQuaternion(NormalizedToPhysics({-q.x, -q.y, -q.z, q.w}));
    transform.position = ToPhysics(shape.position);
    transform.position.w = 1.0f;
    return transform;
}

// One geometry per shape, stored in the shape; a shape of an unknown type keeps the geometry's
// default box. An exhausted pool leaves the shape without a geometry.
void AddGeometries(PhysicsBody& body, CPPhysicData& data, int32_t boxMaterial) {
    for (CPPhysicShape& shape : data.shapes) {
        PhysicsGeometry* geometry = body.AddGeometry();
        shape.geometry = geometry;
        if (!geometry) continue;
        if (shape.type == CPPhysicShape::Box) {
            geometry->SetBox(shape.s0, shape.s2, shape.s1);
        } else if (shape.type == CPPhysicShape::Cylinder) {
            geometry->SetCylinder(shape.s3, shape.s1);
        } else {
            continue;
        }
        geometry->SetLocalTransform(ShapeTransform(shape));
        geometry->SetMaterialIndex(boxMaterial);
    }
}

}  // namespace

void CPPhysics::CreateBody(TPtr<CPPhysicData> data, const PVector3& position, const PQuaternion& rotation,
                           bool active) {
    if (IsTimerStopped() || !m_simulator || !data || data->GetBody()) return;
    if (data->mass < 0.0f) {
        PhysicsAnimatedBody* body = m_simulator->CreateAnimatedBody();
        if (!body) return;
        data->animatedBody = body;
        AddGeometries(*body, *data, kTerrainMaterial);
        body->SetCollisionClass(data->animatedCollisionClass);
        body->UpdateBoundingInfo();
        body->SetPos(ToPhysics(position));
        body->SetRotation(NormalizedToPhysics(rotation));
    } else {
        PhysicsRigidBody* body = data->particle ? m_simulator->CreateRigidParticle() : m_simulator->CreateRigidBody();
        if (!body) return;
        data->rigidBody = body;
        AddGeometries(*body, *data, 0);
        body->SetCollisionClass(kRigidBodyClass);
        body->UpdateBoundingInfo();
        data->active = active;
    }
    m_boundData.insert(data.Get());
}

void CPPhysics::AddObject(TPtr<CPGameObject> object, bool active) {
    if (!object || !object->GetPhysicData()) return;
    const TPtr<CPPhysicData>& data = object->GetPhysicData();
    if (data->GetBody()) return;
    CreateBody(data, object->GetPosition(), object->GetRotation(), active);
    if (PhysicsBody* body = data->GetBody()) body->SetUserData(object.Get());
}

void CPPhysics::TrackObject(TPtr<CPGameObject> object) {
    if (IsTimerStopped() || !object || !object->GetPhysicData()) return;
    m_trackedObjects.insert(object.Get());
    object->GetPhysicData()->active = true;
}

void CPPhysics::DeactivateObject(TPtr<CPGameObject> object) {
    if (!object || !object->GetPhysicData()) return;
    CPPhysicData& data = *object->GetPhysicData();
    m_trackedObjects.erase(object.Get());
    data.active = false;
    PhysicsBody* body = data.GetBody();
    if (body && body->IsActive()) body->SetActive(false, nullptr);
}

void CPPhysics::RemoveObject(TPtr<CPPhysicData> data) {
    if (data) ParkBodies(*data);
}

// A parked body is driven by nothing any more: its controllers stay with it until it is freed,
// but no longer call back into the game.
static void StopControllers(PhysicsBody& body) {
    for (PhysicsController* controller = body.controllers.head; controller; controller = controller->next) {
        controller->callback = nullptr;
    }
}

void CPPhysics::ParkBodies(CPPhysicData& data) {
    const PhysicsVector parked{0.0f, 0.0f, m_parkHeight, 0.0f};
    if (PhysicsBody* body = data.GetBody()) StopControllers(*body);
    if (data.rigidBody) {
        m_pendingRemovals.push_back({data.rigidBody, nullptr, kRemovalCountdown});
        data.rigidBody->SetPos(parked);
        data.rigidBody->SetActive(false, nullptr);
        data.rigidBody = nullptr;
    } else if (data.animatedBody) {
        m_pendingRemovals.push_back({nullptr, data.animatedBody, kRemovalCountdown});
        data.animatedBody->SetPos(parked);
        data.animatedBody = nullptr;
    }
    data.controller = nullptr;
    for (CPPhysicShape& shape : data.shapes) shape.geometry = nullptr;
    m_boundData.erase(&data);
    m_parkHeight -= kParkStep;
    if (m_parkHeight < kParkFloor) m_parkHeight = kInitialParkHeight;
}

void CPPhysics::ForgetBinding(CPPhysicData& data) {
    m_trackedObjects.erase(data.GetOwner());
    PhysicsBody* body = data.GetBody();
    if (!body || !m_simulator) return;
    body->SetUserData(nullptr);
    ParkBodies(data);
}

void CPPhysics::CreateCar(TPtr<CPGameObject> object) {
    if (!object) return;
    if (const TPtr<CPCar> earlier = object->GetCar()) earlier->Detach();
    TPtr<CPCar> car(new CPCar(object.Get()));
    object->SetCar(car);
    car->Setup();
}

void CPPhysics::SetCarControl(TPtr<CPGameObject> object, float throttle, float steeringAngle) {
    const TPtr<CPCar> car = object ? object->GetCar() : nullptr;
    if (!car) return;
    car->throttle = throttle;
    car->steeringAngle = steeringAngle;
}
