#include <cmath>
#include <initializer_list>

#include "physics/engine/PhysicsOrientedBox.h"
#include "physics/engine/PhysicsPrimitiveTests.h"

namespace {

struct Capsule {
    PhysicsVector centre, axis, top, bottom;
    float radius, halfHeight;

    Capsule(const PhysicsGeometry& g, const PhysicsTransform& t)
        : centre(t.position), axis(t.axes.row[1]), radius(g.shape.x), halfHeight(g.shape.z)
    {
        top = centre + axis * halfHeight;
        bottom = centre - axis * halfHeight;
    }
};

// The contact of a point P of A and a point Q of B whose surfaces lie rA and rB around them.
bool RoundContact(PhysicsTestResult& result, const PhysicsVector& p, float rA, const PhysicsVector& q, float rB,
                  const PhysicsVector& normal)
{
    result.normal = normal;
    result.first = p - normal * rA;
    result.second = q + normal * rB;
    result.valid = 1;
    return true;
}

// The foot of a point on the line through two points.
PhysicsVector Foot(const PhysicsVector& point, const PhysicsVector& lineStart, const PhysicsVector& lineEnd)
{
    const PhysicsVector d = lineEnd - lineStart;
    const float lengthSq = LengthSq(d);
    if (lengthSq == 0.0f) return lineStart;
    return lineStart + d * (Dot(point - lineStart, d) / lengthSq);
}

}  // namespace

void PhysicsClosestSegmentBoxPoints(const PhysicsVector& h, const PhysicsVector& p0, const PhysicsVector& p1,
                                    PhysicsVector& segmentPoint, PhysicsVector& boxPoint)
{
    float start[3], d[3], sign[3], breakpoint[3];
    int state[3];
    for (int i = 0; i < 3; ++i) {
        start[i] = At(p0, i);
        d[i] = At(p1, i) - At(p0, i);
        sign[i] = 1.0f;
        if (d[i] < 0.0f) {
            d[i] = -d[i];
            start[i] = -start[i];
            sign[i] = -1.0f;
        }
        const float half = At(h, i);
        if (d[i] == 0.0f) {
            state[i] = 0;
            breakpoint[i] = 2.0f;
        } else if (start[i] < -half) {
            state[i] = -1;
            breakpoint[i] = (-half - start[i]) / d[i];
        } else if (start[i] > half) {
            state[i] = 1;
            breakpoint[i] = (half - start[i]) / d[i];
        } else {
            state[i] = 0;
            breakpoint[i] = (half - start[i]) / d[i];
        }
    }
    // The slope of the squared distance (halved) at t.
    auto slope = [&](float t) {
        float sum = 0.0f;
        for (int i = 0; i < 3; ++i)
            if (state[i] != 0) sum += d[i] * d[i] * (t - breakpoint[i]);
        return sum;
    };
    float t = 0.0f;
    float slopeAtT = slope(0.0f);
    if (slopeAtT < 0.0f) {
        for (int round = 0; round < 8; ++round) {
            float next = 1.0f;
            for (int i = 0; i < 3; ++i)
                if (breakpoint[i] > t && breakpoint[i] < next) next = breakpoint[i];
            const float slopeAtNext = slope(next);
            if (slopeAtNext >= 0.0f) {
                t -= slopeAtT / ((slopeAtNext - slopeAtT) / (next - t));
                break;
            }
            for (int i = 0; i < 3; ++i)
                if (breakpoint[i] == next) {
                    ++state[i];
                    breakpoint[i] = (At(h, i) - start[i]) / d[i];
                }
            t = next;
            slopeAtT = slopeAtNext;
            if (next >= 1.0f) {
                t = 1.0f;
                break;
            }
        }
    }
    segmentPoint = p0 + (p1 - p0) * t;
    boxPoint = PhysicsVector{};
    for (int i = 0; i < 3; ++i) {
        const float half = At(h, i);
        At(boxPoint, i) = sign[i] * std::fmin(std::fmax(start[i] + t * d[i], -half), half);
    }
}

bool PhysicsCollideBoxCylinder(PhysicsTestResult& result, const PhysicsGeometry& boxShape, const PhysicsTransform& a,
                               const PhysicsGeometry& capsuleShape, const PhysicsTransform& b)
{
    result = PhysicsTestResult{};
    const PhysicsOrientedBox box(boxShape, a);
    const Capsule capsule(capsuleShape, b);
    PhysicsVector segmentLocal, boxLocal;
    PhysicsClosestSegmentBoxPoints(box.halfExtents, box.ToBoxFrame(capsule.bottom), box.ToBoxFrame(capsule.top),
                                   segmentLocal, boxLocal);
    const PhysicsVector s = box.FromBoxFrame(segmentLocal), q = box.FromBoxFrame(boxLocal);
    const float dist = Length(q - s);
    if (dist > capsule.radius) return false;
    if (dist > 0.0f) {
        result.depth = capsule.radius - dist;
        result.normal = (q - s) * (1.0f / dist);
        result.first = q;
        result.second = s + result.normal * capsule.radius;
        result.valid = 1;
        return true;
    }
    // The axis reaches into the box: the box leaves through its face nearest to that point.
    int k = 0;
    float least = 1e30f;
    for (int i = 0; i < 3; ++i) {
        const float inside = At(box.halfExtents, i) - std::fabs(At(segmentLocal, i));
        if (inside < least) {
            least = inside;
            k = i;
        }
    }
    const float side = At(segmentLocal, k) >= 0.0f ? 1.0f : -1.0f;
    PhysicsVector facePoint = segmentLocal;
    At(facePoint, k) = side * At(box.halfExtents, k);
    result.normal = box.Axis(k) * -side;
    result.depth = capsule.radius + std::fmax(least, 0.0f);
    result.first = box.FromBoxFrame(facePoint);
    result.second = result.first + result.normal * result.depth;
    result.valid = 1;
    return true;
}

bool PhysicsCollideCylinderCylinder(PhysicsTestResult& result, const PhysicsGeometry& shapeA, const PhysicsTransform& ta,
                                    const PhysicsGeometry& shapeB, const PhysicsTransform& tb)
{
    result = PhysicsTestResult{};
    const Capsule a(shapeA, ta), b(shapeB, tb);
    const float reach = a.radius + b.radius;
    const PhysicsVector crossing = Cross(a.axis, b.axis);
    if (Length(crossing) >= kPhysicsEpsilon) {
        PhysicsTestResult axes;
        axes.edgeAStart = a.top;
        axes.edgeAEnd = a.bottom;
        axes.edgeBStart = b.top;
        axes.edgeBEnd = b.bottom;
        float s = 0, t = 0;
        if (axes.ClosestSegmentPoints(s, t) && axes.valid) {
            const float depth = reach - axes.depth;
            if (depth <= 0.0f) return false;
            // Axes that cross each other: the pair separates along their common normal.
            const PhysicsVector normal = axes.depth > 0.0f ? (axes.first - axes.second) * (1.0f / axes.depth)
                                                           : FallbackNormal(a.centre, b.centre, crossing);
            result.depth = depth;
            return RoundContact(result, axes.first, a.radius, axes.second, b.radius, normal);
        }
    }

    // Parallel axes, or the nearest points beyond an end: ends against ends and lines.
    result.depth = -1000000.0f;
    auto consider = [&](const PhysicsVector& pointA, const PhysicsVector& pointB) {
        const PhysicsVector between = pointA - pointB;
        const float dist = Length(between);
        const float depth = reach - dist;
        if (depth <= 0.0f || depth <= result.depth) return;
        const PhysicsVector normal =
            dist > 0.0f ? between * (1.0f / dist) : FallbackNormal(a.centre, b.centre, Cross(a.axis, crossing));
        result.depth = depth;
        RoundContact(result, pointA, a.radius, pointB, b.radius, normal);
    };
    for (const PhysicsVector& end : {a.top, a.bottom}) {
        const float s = Dot(end - b.bottom, b.axis);
        if (s < 0.0f) consider(end, b.bottom);
        else if (s > 2.0f * b.halfHeight) consider(end, b.top);
        else consider(end, Foot(end, b.bottom, b.top));
    }
    for (const PhysicsVector& end : {b.top, b.bottom}) {
        const float s = Dot(end - a.bottom, a.axis);
        if (s < 0.0f) consider(a.bottom, end);
        else if (s > 2.0f * a.halfHeight) consider(a.top, end);
        else consider(Foot(end, a.bottom, a.top), end);
    }
    return result.valid != 0;
}

bool PhysicsCollideCylinderSphere(PhysicsTestResult& result, const PhysicsGeometry& capsuleShape,
                                  const PhysicsTransform& a, const PhysicsGeometry& sphere, const PhysicsTransform& b)
{
    result = PhysicsTestResult{};
    const Capsule capsule(capsuleShape, a);
    const PhysicsVector& c = b.position;
    const float reach = capsule.radius + sphere.shape.x;
    const float s = Dot(c - capsule.bottom, capsule.axis);
    if (s >= reach + 2.0f * capsule.halfHeight || s <= -reach) return false;
    const PhysicsVector k = s > 2.0f * capsule.halfHeight ? capsule.top
                            : s >= 0.0f                    ? capsule.bottom + capsule.axis * s
                                                           : capsule.bottom;
    const float dist = Length(k - c);
    if (dist >= reach) return false;
    result.depth = reach - dist;
    const PhysicsVector normal = dist < kPhysicsEpsilon ? a.axes.row[0] : (k - c) * (1.0f / dist);
    return RoundContact(result, k, capsule.radius, c, sphere.shape.x, normal);
}

bool PhysicsCollideSphereSphere(PhysicsTestResult& result, const PhysicsGeometry& sphereA, const PhysicsTransform& a,
                                const PhysicsGeometry& sphereB, const PhysicsTransform& b)
{
    result = PhysicsTestResult{};
    const float reach = sphereA.shape.x + sphereB.shape.x;
    const float dsq = LengthSq(a.position - b.position);
    if (dsq >= reach * reach || dsq < kPhysicsEpsilon) return false;
    const float dist = std::sqrt(dsq);
    result.depth = reach - dist;
    return RoundContact(result, a.position, sphereA.shape.x, b.position, sphereB.shape.x,
                        (a.position - b.position) * (1.0f / dist));
}

bool PhysicsCollideBoxSphere(PhysicsTestResult& result, const PhysicsGeometry& boxShape, const PhysicsTransform& a,
                             const PhysicsGeometry& sphere, const PhysicsTransform& b)
{
    result = PhysicsTestResult{};
    const PhysicsOrientedBox box(boxShape, a);
    const float r = sphere.shape.x;
    const PhysicsVector& centre = b.position;
    const PhysicsVector c = box.ToBoxFrame(centre);
    float sign[3], q[3], excess[3];
    int outside = 0;
    for (int i = 0; i < 3; ++i) {
        sign[i] = At(c, i) > 0.0f ? 1.0f : -1.0f;
        q[i] = std::fabs(At(c, i));
        excess[i] = q[i] - At(box.halfExtents, i);
        if (excess[i] >= 0.0f) ++outside;
    }
    auto faceContact = [&](int k, float depth) {
        result.depth = depth;
        result.normal = box.Axis(k) * -sign[k];
        result.second = centre + result.normal * r;
        result.first = result.second - result.normal * depth;
        result.valid = 1;
        return true;
    };
    if (outside == 0) {
        // The centre is inside: out through the nearest face.
        const float room[3] = {At(box.halfExtents, 0) - q[0], At(box.halfExtents, 1) - q[1], At(box.halfExtents, 2) - q[2]};
        int k = room[1] <= room[0] ? 1 : 0;
        if (room[2] <= room[k]) k = 2;
        return faceContact(k, r + room[k]);
    }
    if (outside == 1) {
        const int k = excess[0] >= 0.0f ? 0 : (excess[1] >= 0.0f ? 1 : 2);
        const float depth = At(box.halfExtents, k) + r - q[k];
        return depth > 0.0f ? faceContact(k, depth) : false;
    }
    PhysicsVector nearestLocal = c;
    for (int i = 0; i < 3; ++i)
        if (excess[i] >= 0.0f) At(nearestLocal, i) = sign[i] * At(box.halfExtents, i);
    const PhysicsVector nearest = box.FromBoxFrame(nearestLocal);
    const float dsq = LengthSq(nearest - centre);
    if (dsq > r * r) return false;
    if (dsq < kPhysicsEpsilon) {
        // The centre lies on an edge or a corner: out through the face it stands furthest beyond.
        int k = 0;
        for (int i = 1; i < 3; ++i)
            if (excess[i] > excess[k]) k = i;
        return faceContact(k, r - excess[k]);
    }
    const float dist = std::sqrt(dsq);
    result.depth = r - dist;
    result.normal = (nearest - centre) * (1.0f / dist);
    result.second = centre + result.normal * r;
    result.first = result.second - result.normal * result.depth;
    result.valid = 1;
    return true;
}
