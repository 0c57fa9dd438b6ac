#include "physics/engine/PhysicsSimulator.h"

#include <cmath>
#include <cstdarg>
#include <cstdio>
#include <new>

char PhysicsSimulator::s_message[256] = {};

PhysicsSimulator* PhysicsSimulator::Create(const PhysicsSizeInfo* sizeInfo, PhysicsAllocator* allocator,
                                           const PhysicsVector* gravity)
{
    PhysicsSimulator* simulator = new (std::nothrow) PhysicsSimulator();
    if (simulator) simulator->Construct(sizeInfo, allocator, gravity);
    return simulator;
}

void PhysicsSimulator::Destroy(PhysicsSimulator* simulator) { delete simulator; }

PhysicsSimulator::~PhysicsSimulator() { FreeAllBodies(); }

void PhysicsSimulator::Construct(const PhysicsSizeInfo* sizeInfo, PhysicsAllocator* allocator,
                                 const PhysicsVector* gravity)
{
    if (sizeInfo) m_sizeInfo = *sizeInfo;
    if (allocator) m_allocator = allocator;

    m_gravity = gravity ? *gravity : PhysicsVector{};
    m_gravityDirection = Normalized(m_gravity);
    const float magnitude = Length(m_gravity);
    m_gravityMagnitude = std::isfinite(magnitude) ? magnitude : 0.0f;

    m_bodyPoolsReady = CreateBodyPools();
    if (!m_bodyPoolsReady) {
        Message("Failed to allocate memory.\n");
        LogOutput(1);
    } else if (!m_region.Init(*this, 7)) {
        m_bodyPoolsReady = false;
        Message("Failed to allocate memory.\n");
        LogOutput(1);
    }

    for (PhysicsMaterial& material : m_materials) material = PhysicsMaterial{};
    const PhysicsSizeInfo& s = m_sizeInfo;
    const int32_t rigidCount = s.rigidBodiesCount + s.rigidParticleCount;
    const bool created = m_jointPool.Create(*m_allocator, s.jointCount) &&
                         m_jointGroupPool.Create(*m_allocator, s.jointGroupCount) &&
                         m_stackingRecordPool.Create(*m_allocator, rigidCount) &&
                         m_stackingGroupPool.Create(*m_allocator, rigidCount + 100) &&
                         m_controllerPool.Create(*m_allocator, s.constraintSetsCount) &&
                         m_sensorPool.Create(*m_allocator, s.sensorsCount) &&
                         m_geometryPool.Create(*m_allocator, s.geometriesCount) && m_jointRows.Create(*m_allocator) &&
                         m_contactRows.Create(*m_allocator);
    if (!created) {
        Message("Failed to allocate memory.\n");
        LogOutput(1);
    }
    m_region.TerrainTree().SetNodeSizing(s.terrainNodeCount, s.terrainNodeGrowth);
    m_loneList.simulator = this;
    m_loneList.lone = 1;
    // Each rigid body builds at most three resting rows: the steps never grow the buffer.
    m_contactRows.Reserve(3 * rigidCount);
    m_bodyGroup.reserve(static_cast<std::size_t>(rigidCount > 0 ? rigidCount : 0));
    m_scratchRecords.reserve(static_cast<std::size_t>(rigidCount > 0 ? rigidCount : 0));
    m_unsettledGroups.reserve(static_cast<std::size_t>(rigidCount > 0 ? rigidCount + 100 : 100));
    m_pendingCollisions.reserve(kPendingCollisionCapacity);
    m_terrainGeometry.Init();
    m_terrainGeometry.SetTerrain(nullptr, nullptr, nullptr, nullptr);
    m_terrainBody.Init(this, -1);
    m_terrainBody.active = 0;
    m_timers.Calibrate();
}

bool PhysicsSimulator::CreateBodyPools()
{
    return m_rigidPool.Create(*m_allocator, m_sizeInfo.rigidBodiesCount) &&
           m_animatedPool.Create(*m_allocator, m_sizeInfo.animatedBodyCount) &&
           m_particlePool.Create(*m_allocator, m_sizeInfo.rigidParticleCount);
}

int32_t PhysicsSimulator::ListKindOf(const PhysicsBody& body)
{
    if (body.IsAnimated()) return kAnimatedList;
    return static_cast<const PhysicsRigidBody&>(body).IsParticle() ? kParticleList : kRigidList;
}

PhysicsRigidBody* PhysicsSimulator::CreateRigidBodyOfKind(int32_t kind)
{
    const bool isParticle = kind == 1;
    PhysicsPool<PhysicsRigidBody>& pool = isParticle ? m_particlePool : m_rigidPool;
    PhysicsRigidBody* body = m_bodyPoolsReady ? pool.Take() : nullptr;
    if (!body) {
        Message(isParticle ? "Run out of RigidBodies. Increase 'rigidParticleCount'.\n"
                           : "Run out of RigidBodies. Increase 'rigidBodiesCount'.\n");
        LogOutput(1);
        return nullptr;
    }
    const int32_t slot = pool.SlotOf(body);
    const int32_t index =
        isParticle ? m_sizeInfo.animatedBodyCount + m_sizeInfo.rigidBodiesCount + slot : slot;
    body->Init(this, index, isParticle);
    m_activeLists[isParticle ? kParticleList : kRigidList].Append(body);
    return body;
}

PhysicsAnimatedBody* PhysicsSimulator::CreateAnimatedBody()
{
    PhysicsAnimatedBody* body = m_bodyPoolsReady ? m_animatedPool.Take() : nullptr;
    if (!body) {
        Message("Run out of AnimatedBodies. Increase 'animatedBodyCount'.\n");
        LogOutput(1);
        return nullptr;
    }
    body->Init(this, m_sizeInfo.rigidBodiesCount + m_animatedPool.SlotOf(body));
    m_activeLists[kAnimatedList].Append(body);
    return body;
}

void PhysicsSimulator::FreeBodyRecord(PhysicsBody* body)
{
    if (!body) return;
    const bool inUse = (m_rigidPool.Owns(body) && body->inUse) || (m_particlePool.Owns(body) && body->inUse) ||
                       (m_animatedPool.Owns(body) && body->inUse);
    if (!inUse) {
        if (m_animatedPool.Owns(body)) Message("Trying to Free invalid AnimatedBody.\n");
        else if (m_particlePool.Owns(body)) Message("Trying to Free invalid RigidParticle.\n");
        else Message("Trying to Free invalid RigidBody.\n");
        LogOutput(1);
        return;
    }
    m_region.RemoveBody(body);
    m_region.PurgePending(body);
    body->ReleaseAll();
    ReturnBodyToPool(body);
}

void PhysicsSimulator::ReturnBodyToPool(PhysicsBody* body)
{
    const int32_t listKind = ListKindOf(*body);
    (body->active ? m_activeLists : m_inactiveLists)[listKind].Unlink(body);
    body->active = 0;
    if (listKind == kAnimatedList) m_animatedPool.Return(static_cast<PhysicsAnimatedBody*>(body));
    else if (listKind == kParticleList) m_particlePool.Return(static_cast<PhysicsRigidBody*>(body));
    else m_rigidPool.Return(static_cast<PhysicsRigidBody*>(body));
}

void PhysicsSimulator::FreeAllBodies()
{
    for (int32_t kind = 0; kind < 3; ++kind) {
        while (PhysicsBody* body = m_activeLists[kind].head) FreeBodyRecord(body);
        while (PhysicsBody* body = m_inactiveLists[kind].head) FreeBodyRecord(body);
    }
}

bool PhysicsSimulator::SetMaterial(int32_t index, float friction, float restitution, float density)
{
    if (index < 0 || index >= kMaterialCount) return false;
    m_materials[index] = {friction, restitution, density};
    return true;
}

bool PhysicsSimulator::GetMaterial(int32_t index, float& friction, float& restitution, float& density) const
{
    if (index < 0 || index >= kMaterialCount) return false;
    friction = m_materials[index].friction;
    restitution = m_materials[index].restitution;
    density = m_materials[index].density;
    return true;
}

bool PhysicsSimulator::SetTerrainMesh(const PhysicsTriangleMesh& mesh)
{
    const bool built = m_region.SetTerrainMesh(mesh);
    // Whatever the tree now holds, the kept candidates are of the tree before.
    m_candidateCache.Reset(m_sizeInfo.rigidBodiesCount + m_sizeInfo.rigidParticleCount, m_region.TerrainTree());
    if (!built) return false;
    m_candidateStamps.assign(static_cast<std::size_t>(m_region.TerrainTree().TriangleCount()), 0u);
    m_candidateStamp = 0;
    // Room for the worst case, so that the step never allocates.
    m_terrainCandidates.clear();
    m_terrainCandidates.reserve(m_candidateStamps.size());
    m_leafSpans.clear();
    m_leafSpans.reserve(m_candidateStamps.size());
    m_reachedLeaves.clear();
    m_reachedLeaves.reserve(static_cast<std::size_t>(m_region.TerrainTree().NodeCount()) + 1);
    m_nextReachedLeaves.clear();
    m_nextReachedLeaves.reserve(m_reachedLeaves.capacity());
    return true;
}

PhysicsCollisionCallback PhysicsSimulator::SetCollisionCallback(PhysicsCollisionCallback callback)
{
    const PhysicsCollisionCallback previous = m_collisionCallback;
    m_collisionCallback = callback;
    return previous;
}

void PhysicsSimulator::SetLogCallback(PhysicsLogCallback callback, int32_t level)
{
    m_logCallback = callback;
    m_logLevel = level;
}

void PhysicsSimulator::Message(const char* format, ...)
{
    va_list arguments;
    va_start(arguments, format);
    std::vsnprintf(s_message, sizeof(s_message), format, arguments);
    va_end(arguments);
}

void PhysicsSimulator::LogOutput(int32_t level)
{
    if (m_logCallback && m_logLevel >= level) m_logCallback(s_message);
}
