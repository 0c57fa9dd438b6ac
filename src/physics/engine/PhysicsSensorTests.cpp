#include <cmath>
#include <utility>

#include "physics/engine/PhysicsBody.h"
#include "physics/engine/PhysicsNarrowPhase.h"
#include "physics/engine/PhysicsTriangleMesh.h"

// The line sensors of a body tested against another body's boxes or the terrain; each sensor
// keeps the deepest hit of the step.

namespace {

constexpr float kFar = 1000000.0f;

struct LineHit {
    float depth = 0.0f;
    PhysicsVector normal;
    PhysicsVector point;
    int32_t material = 0;
};

PhysicsVector ToFrame(const PhysicsTransform& frame, const PhysicsVector& worldPoint)
{
    PhysicsVector local = ToLocal(frame.axes, worldPoint - frame.position);
    local.w = 1.0f;
    return local;
}

// The line p + t·v (t in 0..1) against a box of half sizes h in the box's frame. A line that
// starts inside reports its start, so the depth is never more than the line's length.
bool LineAgainstBox(const PhysicsVector& p, const PhysicsVector& v, const PhysicsVector& h, LineHit& hit, int& axis)
{
    float nearest = -kFar, farthest = kFar;
    axis = 0;
    for (int i = 0; i < 3; ++i) {
        const float start = At(p, i), step = At(v, i), half = At(h, i);
        if (std::fabs(step) < 1e-6f) {
            if (start < -half || start > half) return false;
            continue;
        }
        float enter = (-half - start) / step, leave = (half - start) / step;
        if (enter > leave) std::swap(enter, leave);
        if (enter > nearest) {
            nearest = enter;
            axis = i;
        }
        farthest = std::fmin(farthest, leave);
        if (farthest < nearest || farthest < 0.0f) return false;
    }
    if (nearest > 1.0f) return false;
    const float t = std::fmax(nearest, 0.0f);
    hit.point = p + v * t;
    hit.depth = Length(p + v - hit.point);
    return true;
}

void Record(PhysicsSensor& sensor, const LineHit& hit, PhysicsBody* body)
{
    if (!(hit.depth > 0.0f) || hit.depth <= sensor.depth) return;
    sensor.depth = hit.depth;
    sensor.normal = hit.normal;
    sensor.contactPoint = hit.point;
    sensor.material = hit.material;
    sensor.hitBody = body;
}

void TestSensorsAgainstBox(PhysicsBody& bodyA, const PhysicsGeometry& box, const PhysicsTransform& boxWorld,
                           PhysicsBody* bodyB)
{
    if (box.type != PhysicsGeometry::kBox) return;
    for (PhysicsSensor* sensor = bodyA.sensors.head; sensor; sensor = sensor->next) {
        const PhysicsVector start = TransformPoint(bodyA.transform, sensor->start);
        const PhysicsVector line = ToWorld(bodyA.transform.axes, sensor->line);
        const PhysicsVector p = ToFrame(boxWorld, start);
        const PhysicsVector v = ToLocal(boxWorld.axes, line);
        LineHit hit;
        int axis = 0;
        if (!LineAgainstBox(p, v, box.shape, hit, axis)) continue;
        const PhysicsVector axisWorld = boxWorld.axes.row[axis];
        hit.normal = At(v, axis) < 0.0f ? axisWorld : -axisWorld;
        hit.point = TransformPoint(boxWorld, hit.point);
        hit.material = box.materialIndex;
        Record(*sensor, hit, bodyB);
    }
}

}  // namespace

void TestSensorLines(PhysicsBody& bodyA, PhysicsBody& bodyB)
{
    if (bodyB.geometries.count == 1) {
        TestSensorsAgainstBox(bodyA, bodyB.collisionBox, Compose(bodyB.transform, bodyB.collisionBox.localTransform),
                              &bodyB);
        return;
    }
    for (PhysicsGeometry* geometry = bodyB.geometries.head; geometry; geometry = geometry->next)
        TestSensorsAgainstBox(bodyA, *geometry, Compose(bodyB.transform, geometry->localTransform), &bodyB);
}

void TestSensorLinesOnTerrain(PhysicsBody& bodyA, const PhysicsGeometry& terrain)
{
    if (!terrain.triangles || !terrain.vertices) return;
    for (PhysicsSensor* sensor = bodyA.sensors.head; sensor; sensor = sensor->next) {
        const PhysicsVector p = TransformPoint(bodyA.transform, sensor->start);
        const PhysicsVector v = ToWorld(bodyA.transform.axes, sensor->line);
        LineHit hit;
        for (const int32_t* candidate = terrain.candidatesBegin; candidate != terrain.candidatesEnd; ++candidate) {
            const PhysicsMeshTriangle& triangle = terrain.triangles[*candidate];
            const PhysicsVector& a = terrain.vertices[triangle.vertex[0]];
            const PhysicsVector& b = terrain.vertices[triangle.vertex[1]];
            const PhysicsVector& c = terrain.vertices[triangle.vertex[2]];
            const PhysicsVector n = Normalized(Cross(b - a, c - b));
            const float t = (Dot(n, a) - Dot(n, p)) / Dot(n, v);
            if (!std::isfinite(t) || t < 0.0f || t > 1.0f) continue;
            const PhysicsVector point = p + v * t;
            if (Dot(Cross(b - a, point - a), n) < 0.0f || Dot(Cross(c - b, point - b), n) < 0.0f ||
                Dot(Cross(a - c, point - c), n) < 0.0f)
                continue;
            hit.depth = (1.0f - t) * sensor->length;
            hit.normal = Dot(n, v) <= 0.0f ? n : -n;
            hit.point = point;
            hit.material = triangle.material;
        }
        Record(*sensor, hit, nullptr);
    }
}
