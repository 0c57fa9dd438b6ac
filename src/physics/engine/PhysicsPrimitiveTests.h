#pragma once

#include "physics/engine/PhysicsGeometry.h"
#include "physics/engine/PhysicsTestResult.h"
#include "physics/engine/PhysicsTriangleInfo.h"

// Pair tests of boxes, capsules (the cylinder shape), spheres, triangles and the terrain. Each
// fills the result's first point (on A), second point (on B), normal (unit, from B toward A) and
// depth (second = first + normal · depth) and returns whether the shapes touch.

bool PhysicsCollideBoxCylinder(PhysicsTestResult& result, const PhysicsGeometry& box, const PhysicsTransform& a,
                               const PhysicsGeometry& capsule, const PhysicsTransform& b);
bool PhysicsCollideCylinderCylinder(PhysicsTestResult& result, const PhysicsGeometry& capsuleA,
                                    const PhysicsTransform& a, const PhysicsGeometry& capsuleB,
                                    const PhysicsTransform& b);
bool PhysicsCollideCylinderSphere(PhysicsTestResult& result, const PhysicsGeometry& capsule, const PhysicsTransform& a,
                                  const PhysicsGeometry& sphere, const PhysicsTransform& b);
bool PhysicsCollideBoxSphere(PhysicsTestResult& result, const PhysicsGeometry& box, const PhysicsTransform& a,
                             const PhysicsGeometry& sphere, const PhysicsTransform& b);
bool PhysicsCollideSphereSphere(PhysicsTestResult& result, const PhysicsGeometry& sphereA, const PhysicsTransform& a,
                                const PhysicsGeometry& sphereB, const PhysicsTransform& b);
bool PhysicsCollideBoxTriangle(PhysicsTestResult& result, const PhysicsGeometry& box, const PhysicsTransform& a,
                               const PhysicsGeometry& triangle, const PhysicsTransform& b);

// Shape against one triangle (world space).
bool PhysicsCollideCapsuleTriangle(PhysicsTestResult& result, const PhysicsGeometry& capsule, const PhysicsTransform& a,
                                   const PhysicsTriangleInfo& triangle);
bool PhysicsCollideSphereTriangle(PhysicsTestResult& result, const PhysicsGeometry& sphere, const PhysicsTransform& a,
                                  const PhysicsTriangleInfo& triangle);

// Shape against the terrain's candidate triangles: the deepest contact; material B (and for the
// box the triangle's user value) of that triangle.
bool PhysicsCollideBoxTerrain(PhysicsTestResult& result, int32_t& materialB, const PhysicsGeometry& box,
                              const PhysicsTransform& a, const PhysicsGeometry& terrain);
bool PhysicsCollideCylinderTerrain(PhysicsTestResult& result, int32_t& materialB, const PhysicsGeometry& capsule,
                                   const PhysicsTransform& a, const PhysicsGeometry& terrain);
bool PhysicsCollideSphereTerrain(PhysicsTestResult& result, int32_t& materialB, const PhysicsGeometry& sphere,
                                 const PhysicsTransform& a, const PhysicsGeometry& terrain);

// The closest points of the segment p0-p1 and the solid box of half extents h centred at the
// origin (all in the box's frame).
void PhysicsClosestSegmentBoxPoints(const PhysicsVector& h, const PhysicsVector& p0, const PhysicsVector& p1,
                                    PhysicsVector& segmentPoint, PhysicsVector& boxPoint);
