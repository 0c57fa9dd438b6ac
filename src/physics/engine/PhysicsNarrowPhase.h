#pragma once

#include "physics/engine/PhysicsCollisionResult.h"

class PhysicsBody;
class PhysicsGeometry;

// The shape tests of one pair of bodies: at most one contact (the deepest), written into the
// result with valid set. For the terrain, B is the simulator's terrain geometry pointed at the
// candidate triangles, with the identity transform.
void PhysicsCollideBodies(PhysicsCollisionResult& result, const PhysicsBody& bodyA, const PhysicsBody& bodyB);
void PhysicsCollideTerrain(PhysicsCollisionResult& result, const PhysicsBody& bodyA, const PhysicsGeometry& terrain);

// The sensor lines of body A against body B's shapes, or against the terrain geometry.
void TestSensorLines(PhysicsBody& bodyA, PhysicsBody& bodyB);
void TestSensorLinesOnTerrain(PhysicsBody& bodyA, const PhysicsGeometry& terrain);
