#include "physics/engine/PhysicsNarrowPhase.h"

#include "physics/engine/PhysicsBody.h"

// The shape tests are not built yet: no pair of bodies touches, and sensor lines find nothing.

void PhysicsCollideBodies(PhysicsCollisionResult& result, const PhysicsBody&, const PhysicsBody&) { result.valid = 0; }

void PhysicsCollideTerrain(PhysicsCollisionResult& result, const PhysicsBody&, const PhysicsGeometry&) { result.valid = 0; }

void TestSensorLines(PhysicsBody&, PhysicsBody&) {}

void TestSensorLinesOnTerrain(PhysicsBody&, const PhysicsGeometry&) {}
