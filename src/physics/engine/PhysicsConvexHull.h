#pragma once
#include <cstdint>

#include "physics/engine/PhysicsGeometry.h"
#include "physics/engine/PhysicsTestResult.h"
#include "physics/engine/PhysicsTriangleInfo.h"

// The tables of a convex hull shape (what a hull geometry's data points at): faces with their
// planes (unit normal, offset in w) and, per face, `edgesPerFace` neighbouring faces, vertices and
// edges; per vertex its edges ended by 255; per edge its two faces and two vertices.
struct PhysicsHullData {
    int32_t faceCount = 0;
    int32_t vertexCount = 0;
    int32_t edgeCount = 0;
    int32_t edgesPerFace = 3;
    const PhysicsVector* planes = nullptr;
    const PhysicsVector* vertices = nullptr;
    const uint8_t* faceNeighbours = nullptr;  // faceCount × edgesPerFace
    const uint8_t* faceVertices = nullptr;    // faceCount × edgesPerFace
    const uint8_t* faceEdges = nullptr;       // faceCount × edgesPerFace
    const uint8_t* const* vertexEdges = nullptr;
    const uint8_t (*edges)[4] = nullptr;      // face a, face b, vertex p, vertex q
};

// The separating-axis search over the face and edge graphs of two convex shapes (boxes and hulls
// alike): first point on A, second on B, normal from B toward A.
bool PhysicsCollideConvexPair(PhysicsTestResult& result, const PhysicsGeometry& a, const PhysicsTransform& ta,
                              const PhysicsGeometry& b, const PhysicsTransform& tb);
// A hull (or box) against one triangle in world space.
bool PhysicsCollideConvexTriangle(PhysicsTestResult& result, const PhysicsGeometry& hull, const PhysicsTransform& ta,
                                  const PhysicsTriangleInfo& triangle);
// A hull against the terrain's candidate triangles: the deepest contact and its triangle's material.
bool PhysicsCollideConvexTerrain(PhysicsTestResult& result, int32_t& materialB, const PhysicsGeometry& hull,
                                 const PhysicsTransform& ta, const PhysicsGeometry& terrain);
