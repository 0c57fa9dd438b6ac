#pragma once
#include <cstddef>
#include <cstdint>

#include "physics/engine/PhysicsGeometry.h"
#include "physics/engine/PhysicsTestResult.h"
#include "physics/engine/PhysicsTriangleInfo.h"

// The walk over the terrain's candidate triangles shared by the shape-terrain tests.

inline PhysicsTriangleInfo TerrainTriangle(const PhysicsGeometry& terrain, int32_t index)
{
    const PhysicsMeshTriangle& t = terrain.triangles[index];
    return PhysicsTriangleInfo(terrain.vertices[t.vertex[0]], terrain.vertices[t.vertex[1]], terrain.vertices[t.vertex[2]]);
}

// The deepest contact of a shape with the terrain's candidate triangles, with that triangle's
// material; test(record, triangle, mode, deepest) returns whether the triangle touches, and may
// return false at once for a triangle that could not touch deeper than deepest.
inline constexpr std::ptrdiff_t kPrefetchDistance = 4;

template <typename Test>
bool DeepestOverTerrain(PhysicsTestResult& result, int32_t& materialB, const PhysicsGeometry& terrain, Test test)
{
    PhysicsTestResult best;
    best.depth = -1000000.0f;
    int32_t material = 0;
    PhysicsTestResult trial;  // every test starts by clearing it; only a touching trial is read
    if (terrain.candidatesBegin && terrain.triangles && terrain.vertices)
        for (const int32_t* index = terrain.candidatesBegin; index != terrain.candidatesEnd; ++index) {
            const PhysicsMeshTriangle& record = terrain.triangles[*index];
            // The prepared triangles lie scattered in memory: ask for the ones a few steps ahead.
            if (terrain.triangleInfos && terrain.candidatesEnd - index > kPrefetchDistance) {
                __builtin_prefetch(&terrain.triangleInfos[index[kPrefetchDistance]]);
                __builtin_prefetch(&terrain.triangles[index[kPrefetchDistance]]);
            }
            const bool touches = terrain.triangleInfos
                                     ? test(trial, terrain.triangleInfos[*index], record.mode, best.depth)
                                     : test(trial, TerrainTriangle(terrain, *index), record.mode, best.depth);
            if (touches && trial.depth > best.depth) {
                best = trial;
                material = record.material;
            }
        }
    result = PhysicsTestResult{};
    if (!best.valid) return false;
    result.depth = best.depth;
    result.normal = best.normal;
    result.first = best.first;
    result.second = best.second;
    result.edgeContact = best.edgeContact;
    result.valid = 1;
    materialB = material;
    return true;
}
