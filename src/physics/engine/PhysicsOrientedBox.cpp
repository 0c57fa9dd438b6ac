#include "physics/engine/PhysicsOrientedBox.h"

#include <cmath>
#include <utility>

#include "physics/engine/PhysicsTriangleInfo.h"

namespace {

// +1 for a positive projection, -1 otherwise (zero counts as negative).
float SignOf(float projection) { return projection > 0.0f ? 1.0f : -1.0f; }

// How far the box reaches along n from its centre, and its corner deepest against n.
float ReachAgainst(const PhysicsOrientedBox& box, const PhysicsVector& n, PhysicsVector& corner)
{
    float reach = 0.0f;
    corner = box.Centre();
    for (const PhysicsVector& axis : box.halfAxes) {
        const float projection = Dot(n, axis);
        reach += SignOf(projection) * projection;
        corner -= axis * SignOf(projection);
    }
    return reach;
}

}  // namespace

PhysicsOrientedBox::PhysicsOrientedBox(const PhysicsGeometry& box, const PhysicsTransform& world)
    : geometry(box), transform(world), halfExtents(box.shape)
{
    halfAxes[0] = Axis(0) * halfExtents.x;
    halfAxes[1] = Axis(1) * halfExtents.y;
    halfAxes[2] = Axis(2) * halfExtents.z;
}

void PhysicsOrientedBox::ComputeCorners()
{
    if (cornersValid) return;
    for (int k = 0; k < 8; ++k) {
        const int bits = 7 - k;
        corners[k] = Centre() + halfAxes[0] * ((bits & 4) ? 1.0f : -1.0f) + halfAxes[1] * ((bits & 2) ? 1.0f : -1.0f) +
                     halfAxes[2] * ((bits & 1) ? 1.0f : -1.0f);
    }
    cornersValid = true;
}

// Box-box -------------------------------------------------------------------------------------

namespace {

// Turns the axis n to point along the line between the centres and returns minus the centres'
// distance along it.
float TurnTowards(PhysicsVector& n, const PhysicsVector& centreToCentre)
{
    const float s = Dot(n, centreToCentre);
    if (s < 0.0f) {
        n = -n;
        return s;
    }
    return -s;
}

// One face axis of owner P against the other box Q. False when the boxes are apart along it.
bool FaceAxis(PhysicsTestResult& result, const PhysicsOrientedBox& p, const PhysicsOrientedBox& q, int k)
{
    PhysicsVector n = p.Axis(k);
    const float d = TurnTowards(n, q.Centre() - p.Centre());
    PhysicsVector corner;
    const float depth = d + At(p.halfExtents, k) + ReachAgainst(q, n, corner);
    if (depth <= 0.0f) return false;

    bool record = depth + 0.0001f < result.depth;
    if (!record && std::fabs(depth - result.depth) < kPhysicsEpsilon) {
        const int k1 = (k + 1) % 3, k2 = (k + 2) % 3;
        const PhysicsVector offset = corner - p.Centre();
        record = std::fabs(Dot(offset, p.Axis(k1))) <= 1.001f * At(p.halfExtents, k1) &&
                 std::fabs(Dot(offset, p.Axis(k2))) <= 1.001f * At(p.halfExtents, k2);
    }
    if (record) {
        result.depth = depth;
        result.first = corner;
        result.second = corner + n * depth;
        result.normal = n;
        result.valid = 1;
    }
    return true;
}

}  // namespace

bool PhysicsCollideBoxBox(PhysicsTestResult& result, const PhysicsGeometry& boxA, const PhysicsTransform& ta,
                          const PhysicsGeometry& boxB, const PhysicsTransform& tb)
{
    const PhysicsOrientedBox a(boxA, ta), b(boxB, tb);
    result = PhysicsTestResult{};
    result.depth = 100000.0f;

    for (int k = 0; k < 3; ++k)
        if (!FaceAxis(result, a, b, k)) return false;
    result.normal = -result.normal;
    std::swap(result.first, result.second);
    for (int k = 0; k < 3; ++k)
        if (!FaceAxis(result, b, a, k)) return false;

    PhysicsTestResult edge = result;
    bool edgeFound = false;
    for (int i = 0; i < 3; ++i)
        for (int j = 0; j < 3; ++j) {
            const PhysicsVector c = Cross(a.Axis(i), b.Axis(j));
            const float length = Length(c);
            if (length < kPhysicsEpsilon) continue;  // parallel axes
            PhysicsVector n = c * (1.0f / length);
            const float d = TurnTowards(n, b.Centre() - a.Centre());
            const PhysicsVector& a1 = a.halfAxes[(i + 1) % 3];
            const PhysicsVector& a2 = a.halfAxes[(i + 2) % 3];
            const PhysicsVector& b1 = b.halfAxes[(j + 1) % 3];
            const PhysicsVector& b2 = b.halfAxes[(j + 2) % 3];
            const float na1 = Dot(n, a1), na2 = Dot(n, a2), nb1 = Dot(n, b1), nb2 = Dot(n, b2);
            const float depth = d + SignOf(na1) * na1 + SignOf(na2) * na2 + SignOf(nb1) * nb1 + SignOf(nb2) * nb2;
            if (depth <= 0.0f) return false;
            if (depth < edge.depth) {
                edge.depth = depth;
                edge.normal = n;
                const PhysicsVector mA = a.Centre() + a1 * SignOf(na1) + a2 * SignOf(na2);
                const PhysicsVector mB = b.Centre() - b1 * SignOf(nb1) - b2 * SignOf(nb2);
                edge.edgeAStart = mA + a.halfAxes[i];
                edge.edgeAEnd = mA - a.halfAxes[i];
                edge.edgeBStart = mB + b.halfAxes[j];
                edge.edgeBEnd = mB - b.halfAxes[j];
                edgeFound = true;
            }
        }
    if (edgeFound) {
        result.depth = edge.depth;
        result.normal = -edge.normal;
        result.edgeContact = 1;
        result.edgeAStart = edge.edgeAStart;
        result.edgeAEnd = edge.edgeAEnd;
        result.edgeBStart = edge.edgeBStart;
        result.edgeBEnd = edge.edgeBEnd;
        result.ClosestEdgePoints();
    }
    return result.valid != 0;
}

// Box-triangle -------------------------------------------------------------------------------

bool PhysicsOrientedBox::CollideTriangle(PhysicsTestResult& result, const PhysicsTriangleInfo& triangle,
                                         float deeperThan) const
{
    result = PhysicsTestResult{};
    result.depth = 100000.0f;
    if (triangle.IsDegenerate()) return false;

    // The triangle's normal.
    {
        const float s = Dot(triangle.normal, Centre()) - triangle.offset;
        const PhysicsVector n = s >= 0.0f ? triangle.normal : -triangle.normal;
        PhysicsVector corner;
        const float depth = (s >= 0.0f ? -s : s) + ReachAgainst(*this, n, corner);
        // The other axes can only make the contact shallower.
        if (depth < 0.0f || depth <= deeperThan) return false;
        if (depth < result.depth) {
            result.depth = depth;
            result.first = corner;
            result.second = corner + n * depth;
            result.normal = n;
            result.valid = 1;
        }
    }

    // The box's face axes.
    PhysicsTestResult trial = result;
    trial.valid = 0;
    for (int k = 0; k < 3; ++k) {
        const PhysicsVector& u = Axis(k);
        int lowest = 0, highest = 0;
        float projections[3];
        for (int v = 0; v < 3; ++v) {
            projections[v] = Dot(u, triangle.p[v]);
            if (projections[v] < projections[lowest]) lowest = v;
            if (projections[v] > projections[highest]) highest = v;
        }
        const float centre = Dot(u, Centre());
        const float upper = centre + At(halfExtents, k), lower = centre - At(halfExtents, k);
        if (!(projections[lowest] < upper && projections[highest] > lower)) return false;
        const float d1 = upper - projections[lowest], d2 = projections[highest] - lower;
        const float depth = d1 < d2 ? d1 : d2;
        const PhysicsVector normal = d1 < d2 ? -u : u;
        const PhysicsVector& vertex = triangle.p[d1 < d2 ? lowest : highest];
        if (depth < trial.depth) {
            trial.depth = depth;
            trial.first = vertex;
            trial.second = vertex + normal * depth;
            trial.normal = normal;
            trial.valid = 1;
        }
    }
    if (trial.valid) result = trial;

    // Box axes against triangle edges.
    PhysicsTestResult edge = result;
    bool edgeFound = false;
    const PhysicsVector unitEdges[3] = {Normalized(triangle.e[0]), Normalized(triangle.e[1]), Normalized(triangle.e[2])};
    for (int i = 0; i < 3; ++i)
        for (int j = 0; j < 3; ++j) {
            const PhysicsVector& e = unitEdges[j];
            if (LengthSq(e) == 0.0f) continue;
            const PhysicsVector m = Normalized(Cross(Axis(i), e));
            if (LengthSq(m) == 0.0f) continue;
            const PhysicsVector& a1 = halfAxes[(i + 1) % 3];
            const PhysicsVector& a2 = halfAxes[(i + 2) % 3];
            const float s1 = Dot(m, a1) >= 0.0f ? 1.0f : -1.0f, s2 = Dot(m, a2) >= 0.0f ? 1.0f : -1.0f;
            const float centre = Dot(m, Centre());
            const float reach = s1 * Dot(m, a1) + s2 * Dot(m, a2);
            const float boxMin = centre - reach, boxMax = centre + reach;
            const float pj = Dot(m, triangle.p[j]), pk = Dot(m, triangle.p[(j + 2) % 3]);
            const float triMin = std::fmin(pj, pk), triMax = std::fmax(pj, pk);
            if (!(triMin < boxMax && triMax > boxMin)) return false;
            float depth;
            PhysicsVector normal, mid;
            if (pj <= pk) {
                depth = boxMax - triMin;
                normal = -m;
                mid = Centre() + a1 * s1 + a2 * s2;
            } else {
                depth = triMax - boxMin;
                normal = m;
                mid = Centre() - a1 * s1 - a2 * s2;
            }
            if (depth < edge.depth) {
                edge.depth = depth;
                edge.normal = normal;
                edge.edgeAStart = mid + halfAxes[i];
                edge.edgeAEnd = mid - halfAxes[i];
                edge.edgeBStart = triangle.p[j];
                edge.edgeBEnd = triangle.p[(j + 1) % 3];
                edgeFound = true;
            }
        }
    if (edgeFound) {
        PhysicsTestResult closest = edge;
        float s = 0, t = 0;
        if (closest.ClosestSegmentPoints(s, t) && closest.valid) {
            result.first = closest.first;
            result.second = closest.second;
            result.depth = edge.depth;
            result.normal = edge.normal;
            result.edgeContact = 1;
            result.valid = 1;
        }
    }
    return result.valid != 0;
}

bool PhysicsOrientedBox::CollideTriangleColumn(PhysicsTestResult& result, const PhysicsTriangleInfo& triangle)
{
    result = PhysicsTestResult{};
    if (triangle.IsDegenerate() || std::fabs(triangle.normal.y) < kPhysicsEpsilon) return false;
    ComputeCorners();
    float best = 0.0f;
    const PhysicsTriangleInfo& t = triangle;
    for (const PhysicsVector& corner : corners) {
        auto cross2 = [](const PhysicsVector& edge, const PhysicsVector& from) { return edge.z * from.x - edge.x * from.z; };
        const float c0 = cross2(t.e[2], corner - t.p[0]);
        const float c1 = cross2(t.e[1], corner - t.p[1]);
        const float c2 = cross2(t.e[0], corner - t.p[0]);
        if (c0 * c1 < 0.0f || c0 * c2 < 0.0f) continue;
        const float height = (t.offset - t.normal.x * corner.x - t.normal.z * corner.z) / t.normal.y;
        if (height - corner.y > best) {
            best = height - corner.y;
            result.depth = best;
            result.first = corner;
            result.second = {corner.x, height, corner.z, corner.w};
            result.normal = t.normal;
            result.valid = 1;
        }
    }
    return result.valid != 0;
}
