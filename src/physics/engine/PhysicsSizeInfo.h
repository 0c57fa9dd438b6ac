#pragma once
#include <cstdint>

// The capacities of a simulator's pools, copied at its construction. The defaults apply only to
// a simulator created without a record.
struct PhysicsSizeInfo {
    int32_t rigidBodiesCount = 50;
    int32_t animatedBodyCount = 50;
    int32_t rigidParticleCount = 50;
    int32_t constraintSetsCount = 50;  // controllers
    int32_t pairBufferCount = 1225;    // overlapping pairs of the broad phase
    int32_t geometriesCount = 50;
    int32_t jointCount = 100;
    int32_t jointGroupCount = 100;
    int32_t reserved0 = 2000;          // kept, not read
    int32_t sensorsCount = 100;
    int32_t terrainNodeCount = 200;    // initial room of the terrain tree's node array
    int32_t terrainNodeGrowth = -1;    // -1 doubles that room when full, n > 0 adds n
};
