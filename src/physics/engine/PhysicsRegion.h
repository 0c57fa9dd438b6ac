#pragma once
#include <cstdint>

#include "physics/engine/PhysicsList.h"
#include "physics/engine/PhysicsPool.h"
#include "physics/engine/PhysicsTerrainTree.h"

class PhysicsBody;
class PhysicsSimulator;

// One end of a body's world box on one axis, in that axis's sorted list.
struct PhysicsEndpoint {
    enum Kind : uint8_t { kMinimum = 0, kMaximum = 1 };

    uint8_t kind = kMinimum;
    float value = 0.0f;
    PhysicsBody* body = nullptr;
    PhysicsEndpoint* prev = nullptr;
    PhysicsEndpoint* next = nullptr;
    uint8_t inUse = 0;
};

// A body taking part in the broad phase.
struct PhysicsRegionMember {
    PhysicsBody* body = nullptr;
    PhysicsRegionMember* next = nullptr;
    PhysicsRegionMember* prev = nullptr;
    uint8_t inUse = 0;
};

// A pair of bodies whose world boxes overlap.
struct PhysicsOverlapPair {
    PhysicsBody* bodyA = nullptr;
    PhysicsBody* bodyB = nullptr;
    PhysicsOverlapPair* next = nullptr;
    PhysicsOverlapPair* prev = nullptr;
    uint8_t inUse = 0;
};

// What the broad phase knows of one pair: the axes on which the boxes overlap and the pair's
// node in the overlap list. An entry of zero bytes knows nothing of its pair, so the table starts
// as memory that reads as zero and costs nothing until a pair is first touched.
struct PhysicsPairEntry {
    int32_t listedNode = 0;  // the node's slot + 1; 0 while the pair is not listed
    uint8_t bits = 0;

    bool IsListed() const { return listedNode != 0; }
    int32_t Node() const { return listedNode - 1; }
    void SetNode(int32_t node) { listedNode = node + 1; }
    void Unlist() { listedNode = 0; }
};

// The broad phase: sweep and prune over three axes. Every member has a minimum and a maximum
// endpoint per axis in a list sorted by descending value; re-sorting after the bodies moved swaps
// only endpoints that passed each other, and a pair overlaps when it overlaps on every enabled
// axis. Touching boxes do not overlap. Pairs of two particles are never tracked. The region also
// holds the terrain tree.
class PhysicsRegion {
public:
    PhysicsRegion() = default;
    PhysicsRegion(const PhysicsRegion&) = delete;
    PhysicsRegion& operator=(const PhysicsRegion&) = delete;
    ~PhysicsRegion() { Destroy(); }

    // Sizes the tables and pools from the simulator's counts; false when memory runs out.
    bool Init(PhysicsSimulator& simulator, int32_t axisMask);
    void Destroy();

    // The body enters with the next Update (its endpoints searched from the hint's, if given).
    void AddBody(PhysicsBody* body, PhysicsBody* hint);
    // Takes the body out at once with every pair it is in.
    void RemoveBody(PhysicsBody* body);
    // Forgets a pending addition of the body.
    void PurgePending(PhysicsBody* body);
    // Re-sorts the axes (toggling pairs whose endpoints swapped), then inserts the pending bodies.
    void Update();
    // Builds the terrain tree; false when the mesh holds no usable triangle.
    bool SetTerrainMesh(const PhysicsTriangleMesh& mesh);

    PhysicsPairEntry* GetPairEntry(const PhysicsBody* a, const PhysicsBody* b);
    // A walk over the overlapping pairs that stays valid when pairs are dropped on the way (a
    // collision callback may take a body out of the world).
    PhysicsOverlapPair* FirstPair();
    PhysicsOverlapPair* NextPair();
    const PhysicsList<PhysicsOverlapPair>& Overlaps() const { return m_overlaps; }
    PhysicsTerrainTree& TerrainTree() { return m_terrainTree; }
    const PhysicsTerrainTree& TerrainTree() const { return m_terrainTree; }

    // Work of the last Update's sorting: endpoints visited and endpoint swaps.
    int64_t LastSortVisits() const { return m_sortVisits; }
    int64_t LastSortSwaps() const { return m_sortSwaps; }

private:
    struct PendingAddition {
        PhysicsBody* body;
        PhysicsBody* hint;
    };

    void SortAxis(int32_t axis, bool toggle);
    void ToggleAxis(PhysicsBody* a, PhysicsBody* b, uint8_t axisBit);
    void Insert(PhysicsBody* body, PhysicsBody* hint);
    void InsertEndpoint(int32_t axis, PhysicsEndpoint* endpoint, PhysicsEndpoint* start);
    void CheckPair(PhysicsBody* added, PhysicsBody* member);
    void ReportPair(PhysicsPairEntry& entry, PhysicsBody* a, PhysicsBody* b);
    void DropPair(PhysicsPairEntry& entry);
    bool IsEnabled(int32_t axis) const { return (m_axisMask >> axis) & 1; }

    PhysicsSimulator* m_simulator = nullptr;
    int32_t m_axisMask = 0;
    int32_t m_bodyCount = 0;      // rigid and animated bodies
    int32_t m_particleCount = 0;  // rigid particles
    PhysicsPairEntry* m_bodyPairs = nullptr;
    PhysicsPairEntry* m_particlePairs = nullptr;
    PendingAddition* m_pending = nullptr;
    int32_t m_pendingCount = 0;
    int32_t m_pendingCapacity = 0;
    PhysicsPool<PhysicsRegionMember> m_memberPool;
    PhysicsList<PhysicsRegionMember> m_members;
    PhysicsPool<PhysicsOverlapPair> m_overlapPool;
    PhysicsList<PhysicsOverlapPair> m_overlaps;
    PhysicsOverlapPair* m_walkNext = nullptr;
    PhysicsPool<PhysicsEndpoint> m_endpointPools[3];
    PhysicsList<PhysicsEndpoint> m_axes[3];
    PhysicsTerrainTree m_terrainTree;
    int64_t m_sortVisits = 0;
    int64_t m_sortSwaps = 0;
};
