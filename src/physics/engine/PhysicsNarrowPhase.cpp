#include "physics/engine/PhysicsNarrowPhase.h"

#include <utility>

#include "physics/engine/PhysicsBody.h"
#include "physics/engine/PhysicsConvexHull.h"
#include "physics/engine/PhysicsOrientedBox.h"
#include "physics/engine/PhysicsPrimitiveTests.h"

namespace {

constexpr int kCandidateRoom = 100;

using PairTest = bool (*)(PhysicsTestResult&, const PhysicsGeometry&, const PhysicsTransform&, const PhysicsGeometry&,
                          const PhysicsTransform&);

// Runs a test with the shapes exchanged and turns its result back.
bool Exchanged(PairTest test, PhysicsTestResult& result, const PhysicsGeometry& a, const PhysicsTransform& ta,
               const PhysicsGeometry& b, const PhysicsTransform& tb)
{
    if (!test(result, b, tb, a, ta)) return false;
    result.normal = -result.normal;
    std::swap(result.first, result.second);
    return true;
}

// One side of a body pair: its collision box, its shapes and its placement.
struct Side {
    const PhysicsBody* body;
    const PhysicsGeometry* box;
    const PhysicsGeometry* first;
    int32_t count;
    PhysicsTransform transform;
    bool terrain;

    PhysicsTransform WorldOf(const PhysicsGeometry& geometry) const
    {
        return terrain ? PhysicsTransform{} : Compose(transform, geometry.localTransform);
    }
};

Side BodySide(const PhysicsBody& body)
{
    return {&body, &body.collisionBox, body.geometries.head, body.geometries.count, body.GetTransform(), false};
}

// The best contact found so far, with the two shapes that made it.
struct Best {
    PhysicsTestResult test;
    const PhysicsGeometry* a = nullptr;
    const PhysicsGeometry* b = nullptr;
    int32_t terrainMaterial = 0;
};

bool Collide(Best& best, const Side& sa, const PhysicsGeometry& a, const Side& sb, const PhysicsGeometry& b)
{
    PhysicsTestResult trial;
    int32_t material = 0;
    if (!PhysicsCollideGeometries(trial, material, a, sa.WorldOf(a), b, sb.WorldOf(b))) return false;
    if (best.test.valid && !(trial.depth > best.test.depth)) return true;
    best.test = trial;
    best.a = &a;
    best.b = &b;
    best.terrainMaterial = material;
    return true;
}

// The shapes of one side that touch the other side's collision box, from `from` on, up to the
// room of the list; returns where the next batch starts.
const PhysicsGeometry* Candidates(const PhysicsGeometry* from, const Side& side, const Side& other, bool sideIsA,
                                  const PhysicsGeometry** list, int& count)
{
    count = 0;
    const PhysicsTransform otherBox = other.WorldOf(*other.box);
    for (; from && count < kCandidateRoom; from = from->next) {
        PhysicsTestResult test;
        int32_t material = 0;
        const bool touches = sideIsA ? PhysicsCollideGeometries(test, material, *from, side.WorldOf(*from), *other.box, otherBox)
                                     : PhysicsCollideGeometries(test, material, *other.box, otherBox, *from, side.WorldOf(*from));
        if (touches) list[count++] = from;
    }
    return from;
}

void CollideSides(PhysicsCollisionResult& result, const Side& sa, const Side& sb)
{
    result.valid = 0;
    if (sa.count == 0 || sb.count == 0) return;
    Best best;
    if (sa.count == 1 && sb.count == 1) {
        Collide(best, sa, *sa.first, sb, *sb.first);
    } else {
        // The collision boxes first: nothing touches when they do not.
        Best boxes;
        if (!Collide(boxes, sa, *sa.box, sb, *sb.box)) return;
        if (sa.count == 1) {
            for (const PhysicsGeometry* g = sb.first; g; g = g->next) Collide(best, sa, *sa.first, sb, *g);
        } else if (sb.count == 1) {
            for (const PhysicsGeometry* g = sa.first; g; g = g->next) Collide(best, sa, *g, sb, *sb.first);
        } else {
            // Shapes near the other body, in batches of the lists' room.
            const PhysicsGeometry* listA[kCandidateRoom];
            const PhysicsGeometry* listB[kCandidateRoom];
            int countA = 0, countB = 0;
            for (const PhysicsGeometry* nextA = sa.first; nextA;) {
                nextA = Candidates(nextA, sa, sb, true, listA, countA);
                for (const PhysicsGeometry* nextB = sb.first; nextB;) {
                    nextB = Candidates(nextB, sb, sa, false, listB, countB);
                    for (int i = 0; i < countA; ++i)
                        for (int j = 0; j < countB; ++j) Collide(best, sa, *listA[i], sb, *listB[j]);
                }
            }
        }
    }
    if (!best.test.valid) return;

    const PhysicsVector positionA = sa.transform.position, positionB = sb.transform.position;
    result.worldPointA = best.test.first;
    result.worldPointB = best.test.second;
    result.armA = best.test.first - positionA;
    result.armB = best.test.second - positionB;
    result.localPointA = ToLocal(sa.transform.axes, result.armA);
    result.localPointB = ToLocal(sb.transform.axes, result.armB);
    result.normal = best.test.normal;
    result.depth = best.test.depth;
    result.valid = 1;
    result.geometryA = const_cast<PhysicsGeometry*>(best.a);
    result.geometryB = const_cast<PhysicsGeometry*>(best.b);
    result.materialA = best.a->materialIndex;
    const bool terrainLike = best.b->type == PhysicsGeometry::kTerrain || best.b->type == PhysicsGeometry::kTriangle;
    result.materialB = terrainLike ? best.terrainMaterial : best.b->materialIndex;
}

}  // namespace

bool PhysicsCollideGeometries(PhysicsTestResult& result, int32_t& terrainMaterial, const PhysicsGeometry& a,
                              const PhysicsTransform& ta, const PhysicsGeometry& b, const PhysicsTransform& tb)
{
    using G = PhysicsGeometry;
    result = PhysicsTestResult{};
    switch (a.type) {
    case G::kBox:
        switch (b.type) {
        case G::kTriangle: return PhysicsCollideBoxTriangle(result, a, ta, b, tb);
        case G::kBox: return PhysicsCollideBoxBox(result, a, ta, b, tb);
        case G::kSphere: return PhysicsCollideBoxSphere(result, a, ta, b, tb);
        case G::kCylinder: return PhysicsCollideBoxCylinder(result, a, ta, b, tb);
        case G::kTerrain: return PhysicsCollideBoxTerrain(result, terrainMaterial, a, ta, b);
        case G::kConvexHull: return PhysicsCollideConvexPair(result, a, ta, b, tb);
        default: return false;
        }
    case G::kSphere:
        switch (b.type) {
        case G::kBox: return Exchanged(PhysicsCollideBoxSphere, result, a, ta, b, tb);
        case G::kSphere: return PhysicsCollideSphereSphere(result, a, ta, b, tb);
        case G::kCylinder: return Exchanged(PhysicsCollideCylinderSphere, result, a, ta, b, tb);
        case G::kTerrain: return PhysicsCollideSphereTerrain(result, terrainMaterial, a, ta, b);
        default: return false;
        }
    case G::kCylinder:
        switch (b.type) {
        case G::kBox: return Exchanged(PhysicsCollideBoxCylinder, result, a, ta, b, tb);
        case G::kSphere: return PhysicsCollideCylinderSphere(result, a, ta, b, tb);
        case G::kCylinder: return PhysicsCollideCylinderCylinder(result, a, ta, b, tb);
        case G::kTerrain: return PhysicsCollideCylinderTerrain(result, terrainMaterial, a, ta, b);
        default: return false;
        }
    case G::kConvexHull:
        switch (b.type) {
        case G::kBox: return Exchanged(PhysicsCollideConvexPair, result, a, ta, b, tb);
        case G::kTerrain: return PhysicsCollideConvexTerrain(result, terrainMaterial, a, ta, b);
        case G::kConvexHull: return PhysicsCollideConvexPair(result, a, ta, b, tb);
        default: return false;
        }
    default:
        return false;
    }
}

void PhysicsCollideBodies(PhysicsCollisionResult& result, const PhysicsBody& bodyA, const PhysicsBody& bodyB)
{
    CollideSides(result, BodySide(bodyA), BodySide(bodyB));
}

void PhysicsCollideTerrain(PhysicsCollisionResult& result, const PhysicsBody& bodyA, const PhysicsGeometry& terrain)
{
    CollideSides(result, BodySide(bodyA), Side{nullptr, &terrain, &terrain, 1, PhysicsTransform{}, true});
}
