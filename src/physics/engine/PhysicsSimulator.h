#pragma once
#include <cstdint>
#include <vector>

#include "physics/engine/PhysicsAllocator.h"
#include "physics/engine/PhysicsAnimatedBody.h"
#include "physics/engine/PhysicsCollisionInfo.h"
#include "physics/engine/PhysicsCollisionResult.h"
#include "physics/engine/PhysicsCollisionTable.h"
#include "physics/engine/PhysicsJoint.h"
#include "physics/engine/PhysicsList.h"
#include "physics/engine/PhysicsPerfTimers.h"
#include "physics/engine/PhysicsPool.h"
#include "physics/engine/PhysicsRegion.h"
#include "physics/engine/PhysicsRigidBody.h"
#include "physics/engine/PhysicsRowBuffer.h"
#include "physics/engine/PhysicsSizeInfo.h"
#include "physics/engine/PhysicsStacking.h"
#include "physics/engine/PhysicsTerrainCandidateCache.h"

// Friction, restitution and density of one material index.
struct PhysicsMaterial {
    float friction = 0.5f;
    float restitution = 0.4f;
    float density = 1.0f;
};

// The engine's world: fixed-capacity pools for every kind of object, the material and collision
// tables, the broad phase with the terrain, the solver's row buffers, gravity and the callbacks.
// One step advances every body by a fixed time in a fixed order of phases.
class PhysicsSimulator {
public:
    static constexpr int32_t kMaterialCount = 256;
    static constexpr float kRestSpeedThreshold = 1.0f;
    static constexpr std::size_t kPendingCollisionCapacity = 512;

    // A new simulator (null when it cannot be allocated). Without size info the defaults apply;
    // without an allocator the simulator's own heap allocator is used.
    static PhysicsSimulator* Create(const PhysicsSizeInfo* sizeInfo, PhysicsAllocator* allocator,
                                    const PhysicsVector* gravity);
    static void Destroy(PhysicsSimulator* simulator);

    PhysicsSimulator(const PhysicsSimulator&) = delete;
    PhysicsSimulator& operator=(const PhysicsSimulator&) = delete;

    // Bodies. Creation fails with null (and a log message) when the pool is exhausted.
    PhysicsRigidBody* CreateRigidBody() { return CreateRigidBodyOfKind(0); }
    PhysicsRigidBody* CreateRigidParticle() { return CreateRigidBodyOfKind(1); }
    PhysicsRigidBody* CreateRigidBodyOfKind(int32_t kind);
    PhysicsAnimatedBody* CreateAnimatedBody();
    // Returns any body to its pool with its shapes, sensors and controllers; a body that is not
    // in use in a pool of this simulator is refused with a log message.
    void FreeBody(PhysicsBody* body) { FreeBodyRecord(body); }
    void FreeBodyRecord(PhysicsBody* body);

    PhysicsCollisionTable& GetCollisionTable() { return m_collisionTable; }
    // Material with density 0.
    bool SetMaterial(int32_t index, float friction, float restitution) { return SetMaterial(index, friction, restitution, 0.0f); }
    bool SetMaterial(int32_t index, float friction, float restitution, float density);
    bool GetMaterial(int32_t index, float& friction, float& restitution, float& density) const;

    // Runs count steps of seconds / count each; returns the new call counter.
    int32_t Simulate(float seconds, int32_t count, PhysicsPerfReport* report) { return SimulateSteps(seconds, count, report); }
    int32_t SimulateSteps(float seconds, int32_t count, PhysicsPerfReport* report);
    void Step(PhysicsPerfReport* report);

    // Builds the terrain tree; false when the mesh holds no usable triangle.
    bool SetTerrainMesh(const PhysicsTriangleMesh& mesh);
    // With plain set, the terrain narrow phase tests every triangle of the tree leaves a body's box
    // reaches instead of only those whose y range meets the box: the reference walk, which finds
    // the same contacts more slowly.
    void SetPlainTerrainWalk(bool plain) { m_plainTerrainWalk = plain; }
    PhysicsCollisionCallback SetCollisionCallback(PhysicsCollisionCallback callback);
    void SetLogCallback(PhysicsLogCallback callback, int32_t level);
    // Formats a message into the shared message buffer.
    void Message(const char* format, ...);
    // Hands the shared message to the log callback when its level is at least the given one.
    void LogOutput(int32_t level);
    static const char* LastMessage() { return s_message; }

    const PhysicsVector& GetGravity() const { return m_gravity; }
    const PhysicsVector& GetGravityDirection() const { return m_gravityDirection; }
    float GetGravityMagnitude() const { return m_gravityMagnitude; }
    float GetStepLength() const { return m_stepLength; }
    int32_t GetStepCounter() const { return m_stepCounter; }
    const PhysicsSizeInfo& GetSizeInfo() const { return m_sizeInfo; }
    PhysicsAllocator& Allocator() { return *m_allocator; }
    PhysicsRegion& Region() { return m_region; }
    PhysicsAnimatedBody& TerrainBody() { return m_terrainBody; }
    PhysicsGeometry& TerrainGeometry() { return m_terrainGeometry; }
    bool HasBodyPools() const { return m_bodyPoolsReady; }

    // Pools, shared with the bodies.
    PhysicsPool<PhysicsGeometry>& GeometryPool() { return m_geometryPool; }
    PhysicsPool<PhysicsSensor>& SensorPool() { return m_sensorPool; }
    PhysicsPool<PhysicsController>& ControllerPool() { return m_controllerPool; }
    PhysicsPool<PhysicsRigidBody>& RigidPool() { return m_rigidPool; }
    PhysicsPool<PhysicsRigidBody>& ParticlePool() { return m_particlePool; }
    PhysicsPool<PhysicsAnimatedBody>& AnimatedPool() { return m_animatedPool; }
    PhysicsPool<PhysicsJoint>& JointPool() { return m_jointPool; }
    PhysicsPool<PhysicsJointGroup>& JointGroupPool() { return m_jointGroupPool; }
    PhysicsPool<PhysicsStackingRecord>& StackingRecordPool() { return m_stackingRecordPool; }
    PhysicsPool<PhysicsStackingGroup>& StackingGroupPool() { return m_stackingGroupPool; }

    // Body lists per kind: 0 rigid bodies, 1 rigid particles, 2 animated bodies.
    enum ListKind : int32_t { kRigidList = 0, kParticleList = 1, kAnimatedList = 2 };
    PhysicsList<PhysicsBody>& ActiveList(int32_t listKind) { return m_activeLists[listKind]; }
    PhysicsList<PhysicsBody>& InactiveList(int32_t listKind) { return m_inactiveLists[listKind]; }
    static int32_t ListKindOf(const PhysicsBody& body);

    // Solver state shared with the row and joint code.
    PhysicsRowBuffer& JointRows() { return m_jointRows; }
    PhysicsRowBuffer& ContactRows() { return m_contactRows; }
    PhysicsList<PhysicsJointGroup>& JointGroups() { return m_jointGroups; }

    // Resting and solver phases of the step.
    void UpdateStacks();
    void ConstrainPass();
    void SolveContact(PhysicsBody* bodyA, PhysicsBody* bodyB, PhysicsCollisionResult& row, int32_t mode, float scale);
    // The impulse in contact coordinates that stops the contact within the friction cone, with
    // the materials' restitution unless noRestitution is set; zero when it cannot be formed.
    PhysicsVector ComputeContactImpulse(const PhysicsCollisionResult& row, int32_t noRestitution) const;
    // Measures a row's velocities and runs the solve of its row type.
    void SolveRow(PhysicsCollisionResult& row);
    // Two passes of n sweeps (-1: 4) over the joint rows and the contact rows; empties both.
    void IterateRows(int32_t iterations);
    bool AppendContactRow(const PhysicsCollisionResult& row) { return m_contactRows.Append(row); }
    int32_t StackPass() const { return m_stackPass; }
    bool LockB() const { return m_lockB; }
    const PhysicsMaterial& Material(int32_t index) const { return m_materials[index & (kMaterialCount - 1)]; }

    // Stacking structure: records and groups from their pools, the lone list.
    PhysicsStackingRecord* TakeStackingRecord(PhysicsRigidBody* body);
    void FreeStackingRecord(PhysicsStackingRecord* record);
    // Puts both records in one stacking group; without a group to be had the record goes to the
    // lone list and its body is solved alone.
    void JoinStack(PhysicsStackingRecord* record, PhysicsStackingRecord* other);
    void MoveToLoneList(PhysicsStackingRecord* record);
    PhysicsStackingGroup& LoneList() { return m_loneList; }
    PhysicsList<PhysicsStackingGroup>& StackingGroups() { return m_stackingGroups; }
    // Joint passes of the step; they return at once while there are no joint groups.
    void ApplyJointDamping();
    void SolveJointGroups();
    void RunJointControllers();

private:
    PhysicsSimulator() = default;
    ~PhysicsSimulator();
    void Construct(const PhysicsSizeInfo* sizeInfo, PhysicsAllocator* allocator, const PhysicsVector* gravity);
    bool CreateBodyPools();
    void FreeAllBodies();
    void ReturnBodyToPool(PhysicsBody* body);

    // Phases of the step.
    void ResetAllSensors();
    void UpdateWorldBoxes();
    void BodyNarrowPhase();
    bool SkipRestingPair(PhysicsBody* a, PhysicsBody* b) const;
    void TerrainNarrowPhase();
    static PhysicsBody* NextTerrainTested(PhysicsBody* body);
    // The y range of terrain a body's box can touch.
    static void TerrainReachY(const PhysicsBody& body, float& lowY, float& highY);
    // Readies the body's candidates: from its slot of the candidate cache (true) or else by
    // walking the tree into leaves.
    bool PrepareTerrainReach(const PhysicsBody& body, std::vector<const PhysicsTerrainNode*>& leaves);
    void ReachLeaves(const PhysicsBody& body, std::vector<const PhysicsTerrainNode*>& leaves) const;
    int32_t CandidateCacheSlot(const PhysicsBody& body) const;
    // The candidates (from the cache, or among the leaves reached, m_reachedLeaves), each once,
    // in the leaves' order.
    void CollectTerrainCandidates(const PhysicsBody& body, bool fromCache);
    void TakeLeafTriangles(const PhysicsTerrainNode& leaf);
    void TakeLeafTrianglesNearY(const PhysicsTerrainNode& leaf, float lowY, float highY);
    void LatchPushedFlags();
    void IntegrateForces();
    void IntegratePositions();
    void HandleContact(PhysicsBody* bodyA, PhysicsBody* bodyB, PhysicsCollisionResult& contact);
    void ReportCollision(PhysicsCollisionInfo& info, const PhysicsCollisionResult& contact);
    void TimePhase(int32_t phase);
    void DeliverCollisions();
    void QueueCollision(const PhysicsCollisionResult& contact, bool terrain);
    void SolveLoneBodies();
    void DissolveSmallStacks();
    void SolveStack(PhysicsStackingGroup& group);
    void BuildStackRows(PhysicsStackingGroup& group);
    void WalkStackRecord(PhysicsStackingRecord& record);
    void AddToBodyGroup(PhysicsRigidBody* body);
    void ClearBodyGroup();
    void UnlinkRecord(PhysicsStackingRecord* record);
    void FreeStackingGroup(PhysicsStackingGroup* group);
    // Splits a group into the groups its members' current rest contacts connect; members left
    // out lose their record and their rest contacts. The emptied group is freed.
    void RebuildStack(PhysicsStackingGroup* group);

    // The allocators come first so that they outlive every pool and buffer.
    PhysicsDefaultAllocator m_defaultAllocator;
    PhysicsAllocator* m_allocator = &m_defaultAllocator;
    PhysicsSizeInfo m_sizeInfo;
    PhysicsPerfReport* m_report = nullptr;
    PhysicsPerfTimers m_timers;
    PhysicsVector m_gravity;
    PhysicsVector m_gravityDirection;
    float m_gravityMagnitude = 0.0f;
    int32_t m_stepCounter = 0;
    float m_stepLength = 0.0f;
    float m_inverseStepLength = 0.0f;
    PhysicsMaterial m_materials[kMaterialCount];
    PhysicsCollisionTable m_collisionTable;
    PhysicsRegion m_region;
    PhysicsGeometry m_terrainGeometry;
    PhysicsAnimatedBody m_terrainBody;
    PhysicsRowBuffer m_jointRows;
    PhysicsRowBuffer m_contactRows;
    PhysicsCollisionCallback m_collisionCallback = nullptr;
    PhysicsLogCallback m_logCallback = nullptr;
    int32_t m_logLevel = 0;
    bool m_bodyPoolsReady = false;

    PhysicsPool<PhysicsRigidBody> m_rigidPool;
    PhysicsPool<PhysicsAnimatedBody> m_animatedPool;
    PhysicsPool<PhysicsRigidBody> m_particlePool;
    PhysicsPool<PhysicsGeometry> m_geometryPool;
    PhysicsPool<PhysicsSensor> m_sensorPool;
    PhysicsPool<PhysicsController> m_controllerPool;
    PhysicsPool<PhysicsJoint> m_jointPool;
    PhysicsPool<PhysicsJointGroup> m_jointGroupPool;
    PhysicsPool<PhysicsStackingRecord> m_stackingRecordPool;
    PhysicsPool<PhysicsStackingGroup> m_stackingGroupPool;
    PhysicsList<PhysicsBody> m_activeLists[3];
    PhysicsList<PhysicsBody> m_inactiveLists[3];
    PhysicsList<PhysicsJointGroup> m_jointGroups;
    PhysicsList<PhysicsStackingGroup> m_stackingGroups;
    PhysicsStackingGroup m_loneList;
    int32_t m_stackPass = 0;
    bool m_lockB = false;
    // The bodies of the stack being solved (capacity reserved at construction).
    std::vector<PhysicsRigidBody*> m_bodyGroup;
    // Work lists of the stack update (capacities reserved at construction).
    std::vector<PhysicsStackingGroup*> m_unsettledGroups;
    std::vector<PhysicsStackingRecord*> m_scratchRecords;
    // Collisions found while the pairs are walked, delivered to the callback after the walk.
    std::vector<PhysicsCollisionInfo> m_pendingCollisions;

    // Terrain narrow phase work lists, kept from step to step.
    std::vector<const PhysicsTerrainNode*> m_reachedLeaves;
    std::vector<const PhysicsTerrainNode*> m_nextReachedLeaves;  // the next body's, found ahead
    std::vector<int32_t> m_terrainCandidates;
    std::vector<const PhysicsTerrainSpan*> m_leafSpans;
    PhysicsTerrainCandidateCache m_candidateCache;  // a slot per rigid body and particle
    std::vector<uint32_t> m_candidateStamps;
    uint32_t m_candidateStamp = 0;
    bool m_plainTerrainWalk = false;

    static char s_message[256];
};
