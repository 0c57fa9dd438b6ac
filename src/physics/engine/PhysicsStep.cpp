#include <algorithm>
#include <cmath>

#include "physics/engine/PhysicsNarrowPhase.h"
#include "physics/engine/PhysicsSimulator.h"

namespace {

constexpr int32_t kImpactMode = 1;

PhysicsVector PointVelocity(const PhysicsBody& body, const PhysicsVector& arm)
{
    if (!body.IsRigid()) return PhysicsVector{};
    return static_cast<const PhysicsRigidBody&>(body).GetVelocityAtPoint(arm);
}

bool IsUsableNormal(const PhysicsVector& n)
{
    if (!IsFinite(n)) return false;
    return std::fabs(n.x) >= kPhysicsEpsilon || std::fabs(n.y) >= kPhysicsEpsilon || std::fabs(n.z) >= kPhysicsEpsilon;
}

bool IsRestingRigid(const PhysicsBody& body)
{
    return body.IsRigid() && static_cast<const PhysicsRigidBody&>(body).IsAtRest();
}

bool WasPushed(const PhysicsBody& body)
{
    return body.IsRigid() && static_cast<const PhysicsRigidBody&>(body).pushedLastStep;
}

}  // namespace

int32_t PhysicsSimulator::SimulateSteps(float seconds, int32_t count, PhysicsPerfReport* report)
{
    if (count < 1) return m_stepCounter;
    m_report = report;
    m_stepLength = seconds / static_cast<float>(count);
    m_inverseStepLength = 1.0f / m_stepLength;
    if (report) {
        for (float& value : report->values) value = 0.0f;
        m_timers.Reset();
    }
    for (int32_t i = 0; i < count; ++i) Step(report);
    for (PhysicsBody* body = m_activeLists[kAnimatedList].head; body; body = body->next)
        static_cast<PhysicsAnimatedBody*>(body)->changed = 0;
    if (report) {
        const float total = m_timers.Total();
        if (report->mode == 1) {
            report->values[0] = total;
        } else if (total < 100.0f) {
            report->runningSum += total;
            ++report->runningCount;
            report->values[0] = report->runningSum / static_cast<float>(report->runningCount);
        }
        for (int32_t phase = 0; phase < PhysicsPerfTimers::kPhaseCount; ++phase)
            report->values[1 + phase] = m_timers.accumulator[phase];
    }
    m_report = nullptr;
    return ++m_stepCounter;
}

void PhysicsSimulator::TimePhase(int32_t phase)
{
    if (m_report) m_timers.Measure(phase);
}

void PhysicsSimulator::Step(PhysicsPerfReport* report)
{
    m_report = report;
    ResetAllSensors();
    UpdateWorldBoxes();
    m_region.Update();
    TimePhase(PhysicsPerfTimers::kBroadPhase);
    BodyNarrowPhase();
    TimePhase(PhysicsPerfTimers::kBodyNarrowPhase);
    TerrainNarrowPhase();
    TimePhase(PhysicsPerfTimers::kTerrainNarrowPhase);
    DeliverCollisions();
    IntegrateForces();
    TimePhase(PhysicsPerfTimers::kForces);
    for (PhysicsStackingGroup* group = m_stackingGroups.head; group; group = group->next) group->solvedThisStep = 0;
    SolveJointGroups();
    UpdateStacks();
    ConstrainPass();
    TimePhase(PhysicsPerfTimers::kSolver);
    IntegratePositions();
    TimePhase(PhysicsPerfTimers::kPositions);
    RunJointControllers();
    TimePhase(PhysicsPerfTimers::kJointControllers);
}

void PhysicsSimulator::ResetAllSensors()
{
    for (int32_t kind : {kAnimatedList, kParticleList, kRigidList}) {
        for (PhysicsBody* body = m_activeLists[kind].head; body; body = body->next) body->ResetSensors();
        for (PhysicsBody* body = m_inactiveLists[kind].head; body; body = body->next) body->ResetSensors();
    }
}

void PhysicsSimulator::UpdateWorldBoxes()
{
    for (int32_t kind : {kRigidList, kParticleList})
        for (PhysicsBody* body = m_activeLists[kind].head; body; body = body->next) body->UpdateWorldBox();
    for (PhysicsBody* body = m_activeLists[kAnimatedList].head; body; body = body->next)
        if (static_cast<PhysicsAnimatedBody*>(body)->changed) body->UpdateWorldBox();
}

bool PhysicsSimulator::SkipRestingPair(PhysicsBody* a, PhysicsBody* b) const
{
    // A resting body that nothing pushed against an animated body that did not move.
    for (int side = 0; side < 2; ++side) {
        PhysicsBody* rigid = side == 0 ? a : b;
        PhysicsBody* other = side == 0 ? b : a;
        if (IsRestingRigid(*rigid) && !WasPushed(*rigid) && other->IsAnimated() &&
            !static_cast<PhysicsAnimatedBody*>(other)->changed)
            return true;
    }
    if (!a->IsRigid() || !b->IsRigid()) return false;
    if (a->jointGroup && a->jointGroup == b->jointGroup)
        return !(a->collideWithinGroup && b->collideWithinGroup && !(IsRestingRigid(*a) && IsRestingRigid(*b)));
    return IsRestingRigid(*a) && IsRestingRigid(*b) && !WasPushed(*a) && !WasPushed(*b);
}

void PhysicsSimulator::BodyNarrowPhase()
{
    for (PhysicsOverlapPair* pair = m_region.FirstPair(); pair; pair = m_region.NextPair()) {
        PhysicsBody* a = pair->bodyA;
        PhysicsBody* b = pair->bodyB;
        if (a->IsAnimated() && b->IsAnimated()) continue;
        const int32_t response = m_collisionTable.Get(a->collisionClass, b->collisionClass);
        if (response == 0 || SkipRestingPair(a, b)) continue;

        PhysicsCollisionResult contact;
        PhysicsCollideBodies(contact, *a, *b);
        contact.bodyA = a;
        contact.bodyB = b;
        if (a->sensors.count > 0) TestSensorLines(*a, *b);
        if (b->sensors.count > 0) TestSensorLines(*b, *a);
        if (!contact.valid) continue;
        if ((response & PhysicsCollisionTable::kContactResponse) && IsUsableNormal(contact.normal))
            HandleContact(a, b, contact);
        if ((response & PhysicsCollisionTable::kCallbackResponse) && m_collisionCallback) QueueCollision(contact, false);
    }
}

void PhysicsSimulator::TerrainReachY(const PhysicsBody& body, float& lowY, float& highY)
{
    ::TerrainReachY(body.worldMin.y, body.worldMax.y, lowY, highY);
}

int32_t PhysicsSimulator::CandidateCacheSlot(const PhysicsBody& body) const
{
    // Rigid bodies come first, then the particles (whose indices follow the animated bodies').
    return body.index < m_sizeInfo.rigidBodiesCount ? body.index : body.index - m_sizeInfo.animatedBodyCount;
}

bool PhysicsSimulator::PrepareTerrainReach(const PhysicsBody& body, std::vector<const PhysicsTerrainNode*>& leaves)
{
    // Sensor lines may reach past the body's box: they test every triangle of the leaves reached.
    const bool wholeLeaves = m_plainTerrainWalk || body.sensors.count > 0;
    if (!wholeLeaves) {
        const int32_t slot = CandidateCacheSlot(body);
        if (m_candidateCache.Prepare(slot, m_region.TerrainTree(), body.worldMin, body.worldMax)) {
            m_candidateCache.Prefetch(slot);
            return true;
        }
    }
    ReachLeaves(body, leaves);
    return false;
}

void PhysicsSimulator::ReachLeaves(const PhysicsBody& body, std::vector<const PhysicsTerrainNode*>& leaves) const
{
    leaves.clear();
    m_region.TerrainTree().Query(leaves, body.worldMin, body.worldMax);
    // The leaves' indexes lie scattered in memory: ask for them now, to be read later.
    float lowY, highY;
    TerrainReachY(body, lowY, highY);
    for (const PhysicsTerrainNode* leaf : leaves) leaf->alongY.PrefetchBand(lowY);
    for (const PhysicsTerrainNode* leaf : leaves) leaf->alongY.PrefetchFirstReaching(lowY);
}

void PhysicsSimulator::CollectTerrainCandidates(const PhysicsBody& body, bool fromCache)
{
    m_terrainCandidates.clear();
    if (!fromCache && m_reachedLeaves.empty()) return;
    if (++m_candidateStamp == 0) {
        std::fill(m_candidateStamps.begin(), m_candidateStamps.end(), 0u);
        m_candidateStamp = 1;
    }
    float lowY, highY;
    TerrainReachY(body, lowY, highY);
    if (fromCache) {
        m_candidateCache.TakeCandidates(CandidateCacheSlot(body), body.worldMin, body.worldMax, lowY, highY,
                                        m_candidateStamps.data(), m_candidateStamp, m_terrainCandidates);
        return;
    }
    const bool wholeLeaves = m_plainTerrainWalk || body.sensors.count > 0;
    for (const PhysicsTerrainNode* leaf : m_reachedLeaves) {
        if (wholeLeaves || !leaf->alongY.spans) TakeLeafTriangles(*leaf);
        else TakeLeafTrianglesNearY(*leaf, lowY, highY);
    }
}

void PhysicsSimulator::TakeLeafTriangles(const PhysicsTerrainNode& leaf)
{
    // Locals, so that the loop does not reload the members after every store.
    const auto stamp = m_candidateStamp;
    auto* const stamps = m_candidateStamps.data();
    const int32_t* const triangles = leaf.triangles;
    const int32_t count = leaf.triangleCount;
    for (int32_t i = 0; i < count; ++i) {
        const int32_t triangle = triangles[i];
        if (stamps[triangle] == stamp) continue;
        stamps[triangle] = stamp;
        m_terrainCandidates.push_back(triangle);
    }
}

void PhysicsSimulator::TakeLeafTrianglesNearY(const PhysicsTerrainNode& leaf, float lowY, float highY)
{
    leaf.alongY.SpansMeeting(lowY, highY, m_leafSpans);
    const auto stamp = m_candidateStamp;
    auto* const stamps = m_candidateStamps.data();
    for (const PhysicsTerrainSpan* span : m_leafSpans) {
        const int32_t triangle = span->triangle;
        if (stamps[triangle] == stamp) continue;
        stamps[triangle] = stamp;
        m_terrainCandidates.push_back(triangle);
    }
}

void PhysicsSimulator::TerrainNarrowPhase()
{
    const PhysicsTerrainTree& tree = m_region.TerrainTree();
    for (int32_t kind : {kRigidList, kParticleList}) {
        PhysicsBody* body = NextTerrainTested(m_activeLists[kind].head);
        bool fromCache = body && PrepareTerrainReach(*body, m_reachedLeaves);
        for (PhysicsBody* next = nullptr; body; body = next) {
            next = NextTerrainTested(body->next);
            CollectTerrainCandidates(*body, fromCache);
            // The next body's candidates come in from memory while this body's triangles are tested.
            fromCache = next && PrepareTerrainReach(*next, m_nextReachedLeaves);
            std::swap(m_reachedLeaves, m_nextReachedLeaves);
            TimePhase(PhysicsPerfTimers::kTerrainSearch);
            if (m_terrainCandidates.empty()) continue;

            const int32_t* candidates = m_terrainCandidates.data();
            m_terrainGeometry.SetTerrain(candidates, candidates + m_terrainCandidates.size(), tree.Triangles(),
                                         tree.Vertices(), tree.TriangleInfos());
            PhysicsCollisionResult contact;
            PhysicsCollideTerrain(contact, *body, m_terrainGeometry);
            contact.bodyA = body;
            contact.bodyB = nullptr;
            if (body->sensors.count > 0) TestSensorLinesOnTerrain(*body, m_terrainGeometry);
            if (!contact.valid) continue;
            const int32_t response = m_collisionTable.Get(body->collisionClass, PhysicsCollisionTable::kTerrainClass);
            if ((response & PhysicsCollisionTable::kContactResponse) && IsUsableNormal(contact.normal))
                HandleContact(body, &m_terrainBody, contact);
            if ((response & PhysicsCollisionTable::kCallbackResponse) && m_collisionCallback) QueueCollision(contact, true);
        }
    }
    LatchPushedFlags();
}

PhysicsBody* PhysicsSimulator::NextTerrainTested(PhysicsBody* body)
{
    // A resting body that nothing pushed keeps its place on the terrain.
    while (body && IsRestingRigid(*body) && !WasPushed(*body)) body = body->next;
    return body;
}

void PhysicsSimulator::LatchPushedFlags()
{
    for (int32_t kind : {kRigidList, kParticleList})
        for (PhysicsBody* body = m_activeLists[kind].head; body; body = body->next) {
            auto* rigid = static_cast<PhysicsRigidBody*>(body);
            rigid->pushedLastStep = rigid->pushedThisStep ? 1 : 0;
            rigid->pushedThisStep = 0;
        }
}

void PhysicsSimulator::QueueCollision(const PhysicsCollisionResult& contact, bool terrain)
{
    PhysicsCollisionInfo info;
    ReportCollision(info, contact);
    if (terrain) {
        info.bodyB = nullptr;
        info.kindB = PhysicsCollisionInfo::kNoBody;
    }
    m_pendingCollisions.push_back(info);
}

void PhysicsSimulator::DeliverCollisions()
{
    // A callback may free bodies: later reports that name a freed body are dropped.
    for (std::size_t i = 0; i < m_pendingCollisions.size(); ++i) {
        PhysicsCollisionInfo& info = m_pendingCollisions[i];
        if (!info.bodyA->inUse || (info.bodyB && !info.bodyB->inUse) || !m_collisionCallback) continue;
        m_collisionCallback(&info);
    }
    m_pendingCollisions.clear();
}

void PhysicsSimulator::ReportCollision(PhysicsCollisionInfo& info, const PhysicsCollisionResult& contact)
{
    auto kindOf = [](const PhysicsBody* body) {
        if (!body) return int32_t{PhysicsCollisionInfo::kNoBody};
        return int32_t{body->IsRigid() ? PhysicsCollisionInfo::kRigidBody : PhysicsCollisionInfo::kAnimatedBody};
    };
    info.bodyA = contact.bodyA;
    info.bodyB = contact.bodyB;
    info.kindA = kindOf(contact.bodyA);
    info.kindB = kindOf(contact.bodyB);
    info.geometryA = contact.geometryA;
    info.geometryB = contact.geometryB;
    info.materialA = contact.materialA;
    info.materialB = contact.materialB;
    info.localPointA = contact.localPointA;
    info.localPointB = contact.localPointB;
    info.worldPointA = contact.worldPointA;
    info.worldPointB = contact.worldPointB;
    info.relativeVelocity = contact.relativeVelocity;
    info.normal = contact.normal;
}

void PhysicsSimulator::HandleContact(PhysicsBody* a, PhysicsBody* b, PhysicsCollisionResult& contact)
{
    const bool rigidA = a->IsRigid();
    const bool rigidB = b->IsRigid();
    if ((rigidA || rigidB) && a->jointGroup && a->jointGroup == b->jointGroup &&
        !(a->collideWithJointed && b->collideWithJointed))
        return;

    if (rigidA && rigidB && static_cast<PhysicsRigidBody*>(b)->IsParticle()) {
        contact.Prepare(0, 0);
        SolveContact(a, b, contact, kImpactMode, 1.0f);
        b->transform.position -= contact.normal * contact.depth;
        return;
    }

    contact.relativeVelocity = PointVelocity(*a, contact.armA) - PointVelocity(*b, contact.armB);
    const float s = Dot(contact.normal, m_gravityDirection);
    PhysicsRigidBody* upper = nullptr;
    if (s < 0.0f) {
        if (rigidA) upper = static_cast<PhysicsRigidBody*>(a);
        else if (!rigidB) return;
    } else {
        if (rigidB) upper = static_cast<PhysicsRigidBody*>(b);
        else if (!rigidA) return;
    }

    if (upper) {
        // The upper body remembers where it lies; the resting rows hold it up.
        contact.Prepare(0, 0);
        SolveContact(a, b, contact, kImpactMode, 1.0f);
        const bool upperIsA = upper == a;
        PhysicsBody* other = upperIsA ? b : a;
        const PhysicsVector normal = upperIsA ? contact.normal : -contact.normal;
        PhysicsRestContactDescription description;
        description.otherBody = other;
        description.localPoint = upperIsA ? contact.localPointA : contact.localPointB;
        description.otherLocalPoint = upperIsA ? contact.localPointB : contact.localPointA;
        description.otherLocalNormal = other == &m_terrainBody ? normal : ToLocal(other->transform.axes, normal);
        description.material = upperIsA ? contact.materialA : contact.materialB;
        description.otherMaterial = upperIsA ? contact.materialB : contact.materialA;
        description.depth = contact.depth;
        upper->AddRestContact(description);
        return;
    }

    // A rigid body pressed from above by something that is not rigid is moved out at once.
    if (rigidA) {
        a->transform.position += contact.normal * contact.depth;
        static_cast<PhysicsRigidBody*>(a)->pushedThisStep = 1;
    } else {
        b->transform.position -= contact.normal * contact.depth;
        static_cast<PhysicsRigidBody*>(b)->pushedThisStep = 1;
    }
    contact.Prepare(0, 0);
    SolveContact(a, b, contact, kImpactMode, 1.0f);
}

void PhysicsSimulator::IntegrateForces()
{
    for (int32_t kind : {kRigidList, kParticleList})
        for (PhysicsBody* body = m_activeLists[kind].head; body; body = body->next) {
            auto* rigid = static_cast<PhysicsRigidBody*>(body);
            rigid->forceAccumulator = rigid->torqueAccumulator = PhysicsVector{};
        }
    ApplyJointDamping();
    for (int32_t kind : {kRigidList, kParticleList})
        for (PhysicsBody* body = m_activeLists[kind].head; body; body = body->next)
            static_cast<PhysicsRigidBody*>(body)->IntegrateForces(m_stepLength);
}

void PhysicsSimulator::IntegratePositions()
{
    const auto historySlot = static_cast<int32_t>(static_cast<uint32_t>(m_stepCounter) % PhysicsRigidBody::kHistoryLength);
    for (int32_t kind : {kRigidList, kParticleList})
        for (PhysicsBody* body = m_activeLists[kind].head; body; body = body->next) {
            auto* rigid = static_cast<PhysicsRigidBody*>(body);
            rigid->positionPassDone = 1;
            if (!rigid->IsAtRest() && !rigid->jointGroup) rigid->UpdateRestCounter();
            if (!rigid->IsAtRest()) rigid->IntegratePosition(m_stepLength, historySlot);
        }
}
