#pragma once

#include <cstdint>

#include "physics/engine/PhysicsCollisionResult.h"
#include "physics/engine/PhysicsTestResult.h"

class PhysicsBody;
class PhysicsGeometry;
struct PhysicsTransform;

// One pair of shapes in world space, by their types; pairs without a test never touch. For a
// terrain B the material of the touching triangle goes to terrainMaterial.
bool PhysicsCollideGeometries(PhysicsTestResult& result, int32_t& terrainMaterial, const PhysicsGeometry& a,
                              const PhysicsTransform& ta, const PhysicsGeometry& b, const PhysicsTransform& tb);

// The shape tests of one pair of bodies: at most one contact (the deepest), written into the
// result with valid set. A body with several shapes has them culled against the other's collision
// box first; any number of shapes is handled. For the terrain, B is the simulator's terrain geometry pointed at the
// candidate triangles, with the identity transform.
void PhysicsCollideBodies(PhysicsCollisionResult& result, const PhysicsBody& bodyA, const PhysicsBody& bodyB);
void PhysicsCollideTerrain(PhysicsCollisionResult& result, const PhysicsBody& bodyA, const PhysicsGeometry& terrain);

// The sensor lines of body A against body B's shapes, or against the terrain geometry.
void TestSensorLines(PhysicsBody& bodyA, PhysicsBody& bodyB);
void TestSensorLinesOnTerrain(PhysicsBody& bodyA, const PhysicsGeometry& terrain);
