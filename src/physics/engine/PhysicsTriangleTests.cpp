#include <cmath>

#include "physics/engine/PhysicsOrientedBox.h"
#include "physics/engine/PhysicsPrimitiveTests.h"
#include "physics/engine/PhysicsTerrainCandidates.h"

namespace {

// A world-aligned box around a shape, for a cheap rejection before the full tests.
struct WorldBounds {
    // Gaps narrower than this (plus a share of the coordinates' size) are left to the full test,
    // whatever rounding did to either box.
    static constexpr float kSafetyGap = 0.01f;
    static constexpr float kRelativeGap = 1.0e-4f;
    PhysicsVector reachMinimum, reachMaximum;  // the shape's box widened by the safety gap

    // Whether the triangle's own world-aligned box lies beyond the safety gap on some axis: then
    // the shape and the triangle are surely apart, and the separating-axis test would say so too.
    bool ClearlyApartFrom(const PhysicsTriangleInfo& triangle) const
    {
        for (int k = 0; k < 3; ++k) {
            const float p0 = At(triangle.p[0], k), p1 = At(triangle.p[1], k), p2 = At(triangle.p[2], k);
            if (p0 > At(reachMaximum, k) && p1 > At(reachMaximum, k) && p2 > At(reachMaximum, k)) return true;
            if (p0 < At(reachMinimum, k) && p1 < At(reachMinimum, k) && p2 < At(reachMinimum, k)) return true;
        }
        return false;
    }
};

PhysicsVector Absolute(const PhysicsVector& v) { return {std::fabs(v.x), std::fabs(v.y), std::fabs(v.z), 0.0f}; }

// The bounds of a shape that reaches as far as reach from its centre along each world axis.
WorldBounds BoundsAround(const PhysicsVector& centre, const PhysicsVector& reach)
{
    const PhysicsVector minimum = centre - reach, maximum = centre + reach;
    WorldBounds bounds{minimum, maximum};
    for (int k = 0; k < 3; ++k) {
        const float size = std::fmax(std::fabs(At(minimum, k)), std::fabs(At(maximum, k)));
        const float gap = WorldBounds::kSafetyGap + WorldBounds::kRelativeGap * size;
        At(bounds.reachMinimum, k) -= gap;
        At(bounds.reachMaximum, k) += gap;
    }
    return bounds;
}

WorldBounds BoxWorldBounds(const PhysicsOrientedBox& box)
{
    PhysicsVector reach{};
    for (const PhysicsVector& halfAxis : box.halfAxes) reach = reach + Absolute(halfAxis);
    return BoundsAround(box.Centre(), reach);
}

WorldBounds CapsuleWorldBounds(const PhysicsGeometry& capsule, const PhysicsTransform& a)
{
    const float r = capsule.shape.x;
    return BoundsAround(a.position, Absolute(a.axes.row[1] * capsule.shape.z) + PhysicsVector{r, r, r, 0.0f});
}

}  // namespace

bool PhysicsCollideBoxTriangle(PhysicsTestResult& result, const PhysicsGeometry& box, const PhysicsTransform& a,
                               const PhysicsGeometry& triangle, const PhysicsTransform& b)
{
    const PhysicsVector* v = triangle.vertices;
    result = PhysicsTestResult{};
    if (!v) return false;
    const PhysicsTriangleInfo info(TransformPoint(b, v[triangle.triangleVertex[0]]),
                                   TransformPoint(b, v[triangle.triangleVertex[1]]),
                                   TransformPoint(b, v[triangle.triangleVertex[2]]));
    PhysicsTestResult test;
    if (!PhysicsOrientedBox(box, a).CollideTriangle(test, info)) return false;
    result = test;
    if (!test.edgeContact) result.second = test.first;
    return true;
}

bool PhysicsCollideCapsuleTriangle(PhysicsTestResult& result, const PhysicsGeometry& capsule, const PhysicsTransform& a,
                                   const PhysicsTriangleInfo& triangle)
{
    result = PhysicsTestResult{};
    result.depth = 1000000.0f;
    if (triangle.IsDegenerate()) return false;
    const float r = capsule.shape.x, h = capsule.shape.z;
    const PhysicsVector& centre = a.position;
    const PhysicsVector& axis = a.axes.row[1];
    const PhysicsVector top = centre + axis * h, bottom = centre - axis * h;

    // Face: the end that reaches deepest through the plane.
    const float s = Dot(triangle.normal, centre) - triangle.offset;
    const PhysicsVector towardPlane = s >= 0.0f ? -triangle.normal : triangle.normal;
    const float dist = -std::fabs(s);
    if (r + h <= std::fabs(s)) return false;
    const PhysicsVector halfAxis = axis * h;
    const float b = Dot(halfAxis, towardPlane);
    const PhysicsVector deepEnd = b > 0.0f ? centre + halfAxis : centre - halfAxis;
    const float depth = r + (b > 0.0f ? dist + b : dist - b);
    if (depth <= 0.0f) return false;
    const PhysicsVector deepest = deepEnd + towardPlane * r;
    const PhysicsVector onPlane = deepest - towardPlane * depth;
    auto faceContact = [&] {
        result.first = deepest;
        result.second = onPlane;
        result.normal = -towardPlane;
        result.depth = depth;
        result.valid = 1;
        return true;
    };
    // Whether the axis crosses the plane inside the triangle (the deep end lies on or beyond the
    // plane). With the axis parallel to the plane there is no crossing point.
    const PhysicsVector run = deepEnd - centre;
    const bool crossesPlane = depth >= r && std::fabs(Dot(towardPlane, run)) >= kPhysicsEpsilon;
    const bool piercesFace = crossesPlane && triangle.Contains(centre + run * (-s / Dot(triangle.normal, run)));
    // Over the face, the deep end's deepest point: unless the axis crosses the plane beside the
    // triangle and dips under it.
    if (depth < result.depth && triangle.Contains(onPlane) && (!crossesPlane || piercesFace)) return faceContact();

    // Edges against the capsule's segment: the shallowest touching edge.
    for (int j = 0; j < 3; ++j) {
        const PhysicsVector& edgeStart = triangle.p[j];
        const PhysicsVector& edgeEnd = triangle.p[(j + 1) % 3];
        float sa = 0, te = 0;
        ClosestSegmentParameters(top, bottom, edgeStart, edgeEnd, sa, te);
        const PhysicsVector axisPoint = top + (bottom - top) * sa;
        const PhysicsVector edgePoint = edgeStart + (edgeEnd - edgeStart) * te;
        if (LengthSq(axisPoint - edgePoint) >= r * r) continue;
        const float gap = Length(axisPoint - edgePoint);
        const float edgeDepth = r - gap;
        if (edgeDepth <= 0.0f || edgeDepth >= result.depth) continue;
        PhysicsVector normal = gap > 0.0f ? (axisPoint - edgePoint) * (1.0f / gap) : PhysicsVector{};
        if (sa > 0.0f && sa < 1.0f && te > 0.0f && te < 1.0f) {
            // Across the edge: the common normal of axis and edge, turned toward the axis.
            const PhysicsVector common = Normalized(Cross(axis, edgeStart - edgeEnd));
            if (LengthSq(common) > 0.0f) normal = Dot(common, axisPoint - edgePoint) < 0.0f ? -common : common;
        }
        if (LengthSq(normal) == 0.0f) normal = -towardPlane;
        result.depth = edgeDepth;
        result.normal = normal;
        result.first = axisPoint - normal * r;
        result.second = edgePoint;
        result.valid = 1;
    }
    // An axis through the face that reaches no edge still touches: the way out along the normal.
    if (!result.valid && piercesFace) return faceContact();
    return result.valid != 0;
}

bool PhysicsCollideSphereTriangle(PhysicsTestResult& result, const PhysicsGeometry& sphere, const PhysicsTransform& a,
                                  const PhysicsTriangleInfo& triangle)
{
    result = PhysicsTestResult{};
    result.depth = 100000.0f;
    if (triangle.IsDegenerate()) return false;
    const float r = sphere.shape.x;
    const PhysicsVector& c = a.position;
    const float s = Dot(triangle.normal, c) - triangle.offset;
    const float side = s >= 0.0f ? 1.0f : -1.0f;
    const float planeDepth = r - s * side;
    if (planeDepth <= 0.0f) return false;
    const PhysicsVector projected = c - triangle.normal * s;
    const int32_t region = triangle.Locate(projected);
    if (region < 0) {
        result.depth = planeDepth;
        result.normal = triangle.normal * side;
        result.first = c - result.normal * r;
        result.second = projected;
        result.valid = 1;
        return true;
    }
    const int k = region / 2;
    if (region % 2 == 0) {
        const PhysicsVector& vertex = triangle.p[k];
        const float dist = Length(c - vertex);
        if (r - dist <= 0.0f) return false;
        result.depth = r - dist;
        result.normal = dist > 0.0f ? (c - vertex) * (1.0f / dist) : triangle.normal * side;
        result.first = c - result.normal * r;
        result.second = vertex;
        result.valid = 1;
        return true;
    }
    const float length = Length(triangle.e[k]);
    if (length == 0.0f) return false;
    const PhysicsVector u = triangle.e[k] * (1.0f / length);
    const float t = Dot(c - triangle.p[k], u);
    if (!(t > 0.0f && t < length)) return false;
    const PhysicsVector w = triangle.p[k] + u * t;
    const float dist = Length(c - w);
    const float depth = r - dist;
    if (depth <= 0.0f) return false;
    result.depth = depth;
    result.normal = dist > 0.0f ? (c - w) * (1.0f / dist) : triangle.normal * side;
    result.first = c - result.normal * r;
    result.second = w;
    result.valid = 1;
    return true;
}

bool PhysicsCollideBoxTerrain(PhysicsTestResult& result, int32_t& materialB, const PhysicsGeometry& box,
                              const PhysicsTransform& a, const PhysicsGeometry& terrain)
{
    PhysicsOrientedBox oriented(box, a);
    const WorldBounds bounds = BoxWorldBounds(oriented);
    return DeepestOverTerrain(result, materialB, terrain,
                              [&](PhysicsTestResult& trial, const PhysicsTriangleInfo& triangle, int32_t mode,
                                  float deepest) {
                                  if (mode == 0)
                                      return !bounds.ClearlyApartFrom(triangle) &&
                                             oriented.CollideTriangle(trial, triangle, deepest);
                                  if (mode == 1) return oriented.CollideTriangleColumn(trial, triangle);
                                  return false;
                              });
}

bool PhysicsCollideCylinderTerrain(PhysicsTestResult& result, int32_t& materialB, const PhysicsGeometry& capsule,
                                   const PhysicsTransform& a, const PhysicsGeometry& terrain)
{
    const WorldBounds bounds = CapsuleWorldBounds(capsule, a);
    return DeepestOverTerrain(result, materialB, terrain,
                              [&](PhysicsTestResult& trial, const PhysicsTriangleInfo& triangle, int32_t mode, float) {
                                  return mode == 0 && !bounds.ClearlyApartFrom(triangle) &&
                                         PhysicsCollideCapsuleTriangle(trial, capsule, a, triangle);
                              });
}

bool PhysicsCollideSphereTerrain(PhysicsTestResult& result, int32_t& materialB, const PhysicsGeometry& sphere,
                                 const PhysicsTransform& a, const PhysicsGeometry& terrain)
{
    return DeepestOverTerrain(result, materialB, terrain,
                              [&](PhysicsTestResult& trial, const PhysicsTriangleInfo& triangle, int32_t mode, float) {
                                  return mode == 0 && PhysicsCollideSphereTriangle(trial, sphere, a, triangle);
                              });
}
