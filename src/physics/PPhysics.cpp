#include "physics/PPhysics.h"

#include "Render/PGameObject.h"
#include "Render/PRenderObject.h"
#include "core/PGlobalTimer.h"
#include "physics/PPhysicData.h"
#include "physics/PhysicsConversions.h"
#include "physics/engine/PhysicsSimulator.h"

namespace {

PhysicsSizeInfo WorldSizes() {
    return PhysicsSizeInfo{500, 1000, 1000, 500, 2000, 2000, 30, 30, 300, 100, 200, -1};
}

constexpr PhysicsVector kGravity{0.0f, 0.0f, -25.8f, 0.0f};

// Classes of bodies: 1 rigid bodies, 2 the player's car, 3 barriers, 4 enemies.
constexpr int32_t kRespondContact = 0;
constexpr int32_t kRespondAndReport = 3;

}  // namespace

CPPhysics::~CPPhysics() { Clear(); }

bool CPPhysics::IsTimerStopped() {
    const CPGlobalTimer* timer = GetGlobalTimer();
    return timer && timer->IsStopped();
}

void CPPhysics::Stop() {
    Clear();
    IPTask::Stop();
}

void CPPhysics::Init() {
    Clear();
    const PhysicsSizeInfo sizes = WorldSizes();
    m_simulator = PhysicsSimulator::Create(&sizes, nullptr, &kGravity);
    if (!m_simulator) return;
    m_simulator->SetMaterial(kTerrainMaterial, 0.0f, 1.0f);
    m_simulator->SetCollisionCallback(&CPPhysics::OnCollision);
    FillCollisionTable();
    BuildTerrain();
}

void CPPhysics::FillCollisionTable() {
    PhysicsCollisionTable& table = m_simulator->GetCollisionTable();
    table.Set(1, 2, kRespondAndReport);
    table.Set(1, 3, kRespondContact);
    table.Set(3, 2, kRespondAndReport);
    for (int32_t i = 1; i <= 3; ++i) table.Set(i, 4, kRespondContact);
}

void CPPhysics::Clear() {
    if (!m_simulator) return;
    PhysicsSimulator::Destroy(m_simulator);
    m_simulator = nullptr;
    m_trackedObjects.clear();
    m_pendingRemovals.clear();
    for (CPPhysicData* data : m_boundData) {
        data->rigidBody = nullptr;
        data->animatedBody = nullptr;
        data->controller = nullptr;
        for (CPPhysicShape& shape : data->shapes) shape.geometry = nullptr;
    }
    m_boundData.clear();
    m_terrainVertices = {};
    m_terrainTriangles = {};
}

void CPPhysics::Update() {
    if (IsTimerStopped() || !m_simulator) return;
    RunSteps();
    FreeRemovedBodies();
    SyncObjects();
}

void CPPhysics::RunSteps() {
    float accumulated = g_frameDelta * kTimeFactor + m_stepAccumulator;
    if (!(accumulated > 0.0f)) return;
    int32_t steps = 0;
    while (accumulated >= kStepLength && steps < kMaxStepsPerUpdate) {
        m_simulator->Simulate(kStepLength, 1, nullptr);
        accumulated -= kStepLength;
        ++steps;
    }
    if (accumulated >= kStepLength) accumulated = 0.0f;
    m_stepAccumulator = accumulated;
}

// The bodies still counting down keep their order and the list keeps its storage, so parking
// bodies in a running level allocates nothing once the list has been long enough.
void CPPhysics::FreeRemovedBodies() {
    size_t kept = 0;
    for (PendingRemoval& removal : m_pendingRemovals) {
        if (--removal.countdown >= 0) {
            m_pendingRemovals[kept++] = removal;
        } else if (removal.rigidBody) {
            m_simulator->FreeBody(removal.rigidBody);
        } else {
            m_simulator->FreeBody(removal.animatedBody);
        }
    }
    m_pendingRemovals.resize(kept);
}

void CPPhysics::SyncObjects() {
    for (CPGameObject* object : m_trackedObjects) {
        const TPtr<CPPhysicData>& data = object->GetPhysicData();
        if (!data || !data->rigidBody) continue;
        // A body that has not moved (one at rest) leaves its object, its boxes and its mesh's
        // world vertices as they are.
        const PVector3 position = FromPhysics(data->rigidBody->GetTransform().position);
        const PQuaternion rotation = FromPhysics(data->rigidBody->GetRotation());
        if (position != object->GetPosition()) object->SetPosition(position);
        if (rotation != object->GetRotation()) object->SetRotation(rotation);
        object->UpdateTransform();
    }
}

void CPPhysics::AddTerrainObject(TPtr<CPRenderObject> object) {
    if (!object) return;
    TPtr<CPGameObject> owner(object->GetOwner());
    m_terrainPieces.push_back({std::move(object), std::move(owner)});
}
