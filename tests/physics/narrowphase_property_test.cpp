// Each pair test against a slow reference written only for these tests, over many random poses
// (fixed seed): contact exactly when the reference finds the shapes overlapping, and then the
// depth and normal of the reference's shortest way out.
#include <algorithm>
#include <cmath>
#include <random>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "physics/engine/PhysicsOrientedBox.h"
#include "physics/engine/PhysicsPrimitiveTests.h"
#include "physics/physics_fixture.h"
#include "physics/segment_triangle_reference.h"
#include "physics/shape_fixture.h"

namespace {

constexpr int kPoses = 100000;

PhysicsQuaternion RandomRotation(std::mt19937& random)
{
    std::normal_distribution<float> gauss;
    return Normalized(PhysicsQuaternion{gauss(random), gauss(random), gauss(random), gauss(random)});
}

PhysicsVector RandomOffset(std::mt19937& random, float extent)
{
    std::uniform_real_distribution<float> coordinate(-extent, extent);
    return {coordinate(random), coordinate(random), coordinate(random), 0};
}

// A convex polytope by its world vertices, face normals and edge directions (small fixed
// arrays: the references run many times).
template <int N>
struct Points {
    PhysicsVector item[N];
    int count = 0;
    void Add(const PhysicsVector& v) { item[count++] = v; }
    const PhysicsVector* begin() const { return item; }
    const PhysicsVector* end() const { return item + count; }
};

struct Polytope {
    Points<12> vertices;
    Points<16> normals;
    Points<24> edges;

    float Max(const PhysicsVector& u) const
    {
        float m = -1e30f;
        for (const PhysicsVector& v : vertices) m = std::max(m, Dot(v, u));
        return m;
    }
    float Min(const PhysicsVector& u) const
    {
        float m = 1e30f;
        for (const PhysicsVector& v : vertices) m = std::min(m, Dot(v, u));
        return m;
    }
};

Polytope BoxPolytope(const PhysicsGeometry& box, const PhysicsTransform& t)
{
    Polytope p;
    for (int k = 0; k < 8; ++k)
        p.vertices.Add(TransformPoint(
            t, {(k & 4) ? box.shape.x : -box.shape.x, (k & 2) ? box.shape.y : -box.shape.y, (k & 1) ? box.shape.z : -box.shape.z, 0}));
    for (int i = 0; i < 3; ++i) {
        p.normals.Add(t.axes.row[i]);
        p.edges.Add(t.axes.row[i]);
    }
    return p;
}

Polytope HullPolytope(const HullTables& hull, const PhysicsTransform& t)
{
    Polytope p;
    // Each direction once: axes along the same line test the same thing.
    auto addOnce = [](auto& list, const PhysicsVector& v) {
        const PhysicsVector u = Normalized(v);
        for (const PhysicsVector& w : list)
            if (std::fabs(Dot(u, w)) > 0.9999f) return;
        list.Add(u);
    };
    for (const PhysicsVector& v : hull.vertices) p.vertices.Add(TransformPoint(t, v));
    for (const PhysicsVector& n : hull.planes) addOnce(p.normals, ToWorld(t.axes, n));
    for (const auto& e : hull.edges) {
        if (Dot(hull.planes[e[0]], hull.planes[e[1]]) > 0.9999f) continue;  // a diagonal of a flat side
        addOnce(p.edges, ToWorld(t.axes, hull.vertices[e[3]] - hull.vertices[e[2]]));
    }
    return p;
}

Polytope TrianglePolytope(const PhysicsTriangleInfo& triangle)
{
    Polytope p;
    for (int k = 0; k < 3; ++k) {
        p.vertices.Add(triangle.p[k]);
        p.edges.Add(triangle.e[k]);
    }
    p.normals.Add(triangle.normal);
    return p;
}

// The shortest way out of an overlap: its length (negative or zero when apart) and the
// direction in which A leaves, with the second-shortest length to tell whether it is clear-cut.
struct WayOut {
    float depth = 1e30f;
    float runnerUp = 1e30f;
    PhysicsVector normal;
};

void ConsiderAxis(WayOut& out, const Polytope& a, const Polytope& b, PhysicsVector u)
{
    const float lengthSq = LengthSq(u);
    if (lengthSq < 1e-8f) return;
    u = u * (1.0f / std::sqrt(lengthSq));
    for (const PhysicsVector& n : {u, -u}) {
        const float depth = b.Max(n) - a.Min(n);  // A moves along n by this much
        const bool sameAxis = LengthSq(n - out.normal) < 1e-6f;
        if (depth < out.depth) {
            if (!sameAxis) out.runnerUp = out.depth;
            out.depth = depth;
            out.normal = n;
        } else if (depth < out.runnerUp && !sameAxis) {
            out.runnerUp = depth;
        }
    }
}

WayOut PolytopeWayOut(const Polytope& a, const Polytope& b)
{
    WayOut out;
    for (const PhysicsVector& n : a.normals) ConsiderAxis(out, a, b, n);
    for (const PhysicsVector& n : b.normals) ConsiderAxis(out, a, b, n);
    for (const PhysicsVector& ea : a.edges)
        for (const PhysicsVector& eb : b.edges) ConsiderAxis(out, a, b, Cross(ea, eb));
    return out;
}

PhysicsVector NearestInBox(const PhysicsVector& p, const PhysicsGeometry& box, const PhysicsTransform& t)
{
    PhysicsVector local = ToLocal(t.axes, p - t.position);
    for (int i = 0; i < 3; ++i) At(local, i) = std::clamp(At(local, i), -At(box.shape, i), At(box.shape, i));
    return TransformPoint(t, local);
}

// The way out of two round shapes whose cores' nearest points are onA and onB.
WayOut RoundWayOut(const PhysicsVector& onA, const PhysicsVector& onB, float radii)
{
    WayOut out;
    const float gap = std::sqrt(LengthSq(onA - onB));
    out.depth = radii - gap;
    out.normal = gap > 0 ? (onA - onB) * (1.0f / gap) : PhysicsVector{};
    return out;
}

struct Segment {
    PhysicsVector top, bottom;
    float radius;
};

Segment CapsuleSegment(const PhysicsGeometry& capsule, const PhysicsTransform& t)
{
    return {t.position + t.axes.row[1] * capsule.shape.z, t.position - t.axes.row[1] * capsule.shape.z, capsule.shape.x};
}

// Tallies of one pair type.
struct Tally {
    int contacts = 0, misses = 0, wrongDepth = 0, wrongNormal = 0, badNormal = 0, wrongPoints = 0;

    void Expect(const std::string& pair) const
    {
        EXPECT_GT(contacts, kPoses / 10) << pair;
        EXPECT_EQ(misses, 0) << pair;
        EXPECT_EQ(wrongDepth, 0) << pair;
        EXPECT_EQ(wrongNormal, 0) << pair;
        EXPECT_EQ(badNormal, 0) << pair;
        EXPECT_EQ(wrongPoints, 0) << pair;
    }
};

// Compares one engine answer with the reference way out (A leaves along +normal).
void Compare(Tally& tally, bool touches, const PhysicsTestResult& result, const WayOut& reference, float tolerance)
{
    if (std::fabs(reference.depth) < 1e-3f) return;  // too close to touching to call
    if (touches != (reference.depth > 0)) {
        ++tally.misses;
        return;
    }
    if (!touches) return;
    ++tally.contacts;
    if (!IsFinite(result.normal) || std::fabs(Length(result.normal) - 1.0f) > 1e-4f) ++tally.badNormal;
    if (std::fabs(result.depth - reference.depth) > tolerance) ++tally.wrongDepth;
    if (reference.runnerUp - reference.depth > 0.01f && Dot(result.normal, reference.normal) < 0.99f) ++tally.wrongNormal;
}

TEST(PhysicsNarrowPhaseProperty, BoxBox)
{
    std::mt19937 random(11);
    std::uniform_real_distribution<float> size(0.2f, 2.0f);
    Tally tally;
    for (int i = 0; i < kPoses; ++i) {
        const PhysicsGeometry a = Box(size(random), size(random), size(random));
        const PhysicsGeometry b = Box(size(random), size(random), size(random));
        const PhysicsTransform ta = Place(RandomOffset(random, 1.2f), RandomRotation(random));
        const PhysicsTransform tb = Place({0, 0, 0, 0}, RandomRotation(random));
        PhysicsTestResult result;
        const bool touches = PhysicsCollideBoxBox(result, a, ta, b, tb);
        Compare(tally, touches, result, PolytopeWayOut(BoxPolytope(a, ta), BoxPolytope(b, tb)), 2e-3f);
    }
    tally.Expect("box-box");
}

TEST(PhysicsNarrowPhaseProperty, BoxTriangle)
{
    std::mt19937 random(12);
    std::uniform_real_distribution<float> size(0.2f, 2.0f);
    Tally tally;
    for (int i = 0; i < kPoses; ++i) {
        const PhysicsGeometry box = Box(size(random), size(random), size(random));
        const PhysicsTransform t = Place(RandomOffset(random, 0.8f), RandomRotation(random));
        const PhysicsTriangleInfo triangle(RandomOffset(random, 1.5f), RandomOffset(random, 1.5f), RandomOffset(random, 1.5f));
        if (LengthSq(Cross(triangle.e[0], triangle.e[1])) < 0.01f) continue;
        PhysicsTestResult result;
        const bool touches = PhysicsOrientedBox(box, t).CollideTriangle(result, triangle);
        const WayOut reference = PolytopeWayOut(BoxPolytope(box, t), TrianglePolytope(triangle));
        if (std::fabs(reference.depth) < 1e-3f) continue;
        // The depth found is never shorter than the way out, and is the overlap along its normal.
        if (touches != (reference.depth > 0)) ++tally.misses;
        if (!touches || reference.depth <= 0) continue;
        ++tally.contacts;
        if (!IsFinite(result.normal) || std::fabs(Length(result.normal) - 1.0f) > 1e-4f) ++tally.badNormal;
        const float along = TrianglePolytope(triangle).Max(result.normal) - BoxPolytope(box, t).Min(result.normal);
        if (result.depth < reference.depth - 2e-3f || std::fabs(along - result.depth) > 2e-3f) ++tally.wrongDepth;
    }
    tally.Expect("box-triangle");
}

TEST(PhysicsNarrowPhaseProperty, CapsuleCapsule)
{
    std::mt19937 random(13);
    std::uniform_real_distribution<float> radius(0.1f, 0.8f), length(0.0f, 2.0f);
    Tally tally;
    for (int i = 0; i < kPoses; ++i) {
        const PhysicsGeometry a = Capsule(radius(random), length(random));
        const PhysicsGeometry b = Capsule(radius(random), length(random));
        const PhysicsTransform ta = Place(RandomOffset(random, 1.5f), RandomRotation(random));
        const PhysicsTransform tb = Place({0, 0, 0, 0}, RandomRotation(random));
        const Segment sa = CapsuleSegment(a, ta), sb = CapsuleSegment(b, tb);
        auto onA = [&](float u) { return sa.top + (sa.bottom - sa.top) * u; };
        const float u = ArgMinimumOnUnit([&](float v) { return LengthSq(onA(v) - NearestOnSegment(onA(v), sb.top, sb.bottom)); });
        const WayOut reference = RoundWayOut(onA(u), NearestOnSegment(onA(u), sb.top, sb.bottom), sa.radius + sb.radius);
        const float gap = sa.radius + sb.radius - reference.depth;
        PhysicsTestResult result;
        const bool touches = PhysicsCollideCylinderCylinder(result, a, ta, b, tb);
        if (gap < 1e-3f) {  // axes that meet: any unit normal will do
            if (touches && (!IsFinite(result.normal) || std::fabs(Length(result.normal) - 1.0f) > 1e-4f)) ++tally.badNormal;
            continue;
        }
        Compare(tally, touches, result, reference, 2e-3f);
    }
    tally.Expect("capsule-capsule");
}

TEST(PhysicsNarrowPhaseProperty, BoxCapsule)
{
    std::mt19937 random(14);
    std::uniform_real_distribution<float> size(0.2f, 2.0f), radius(0.1f, 0.8f), length(0.0f, 2.0f);
    Tally tally;
    for (int i = 0; i < kPoses; ++i) {
        const PhysicsGeometry box = Box(size(random), size(random), size(random));
        const PhysicsGeometry capsule = Capsule(radius(random), length(random));
        const PhysicsTransform tb = Place(RandomOffset(random, 1.8f), RandomRotation(random));
        const PhysicsTransform ta = Place({0, 0, 0, 0}, RandomRotation(random));
        const Segment s = CapsuleSegment(capsule, tb);
        auto onAxis = [&](float u) { return s.top + (s.bottom - s.top) * u; };
        const float u = ArgMinimumOnUnit([&](float v) { return LengthSq(onAxis(v) - NearestInBox(onAxis(v), box, ta)); });
        const WayOut reference = RoundWayOut(NearestInBox(onAxis(u), box, ta), onAxis(u), s.radius);
        const float gap = s.radius - reference.depth;
        PhysicsTestResult result;
        const bool touches = PhysicsCollideBoxCylinder(result, box, ta, capsule, tb);
        if (gap < 1e-3f) {  // the axis reaches into the box
            if (!touches) ++tally.misses;
            else if (!IsFinite(result.normal) || std::fabs(Length(result.normal) - 1.0f) > 1e-4f) ++tally.badNormal;
            continue;
        }
        Compare(tally, touches, result, reference, 2e-3f);
    }
    tally.Expect("box-capsule");
}

// Capsules near random triangles, and capsules lined up with a triangle's edge, often far beyond
// its ends. A contact exactly when the axis comes nearer to the triangle than the radius. Unless
// the axis pierces the triangle (then the depth is the way out along the normal), the second point
// lies on the triangle and the first the radius below the axis along the normal, so the depth is
// the overlap of the two features found: never more than the reference's.
TEST(PhysicsNarrowPhaseProperty, CapsuleTriangle)
{
    std::mt19937 random(16);
    std::uniform_real_distribution<float> radius(0.1f, 0.8f), length(0.0f, 2.0f), along(-8.0f, 9.0f), tilt(-0.05f, 0.05f);
    Tally tally;
    int terrainDiffers = 0;
    for (int i = 0; i < kPoses; ++i) {
        const PhysicsGeometry capsule = Capsule(radius(random), length(random));
        const PhysicsTriangleInfo triangle(RandomOffset(random, 1.5f), RandomOffset(random, 1.5f), RandomOffset(random, 1.5f));
        if (LengthSq(Cross(triangle.e[0], triangle.e[1])) < 0.01f) continue;
        PhysicsTransform place;
        if (i % 2 == 0) {
            place = Place(RandomOffset(random, 1.0f), RandomRotation(random));
        } else {
            const PhysicsVector& edge = triangle.e[i / 2 % 3];
            const PhysicsVector centre = triangle.p[i / 2 % 3] + edge * along(random) + RandomOffset(random, 0.5f);
            place = Place(centre, TurnYToward(edge + RandomOffset(random, 1.0f) * (std::sqrt(LengthSq(edge)) * tilt(random))));
        }
        PhysicsTestResult result;
        const bool touches = PhysicsCollideCapsuleTriangle(result, capsule, place, triangle);
        // The walk over the terrain, with its cheap rejection first, finds the very same contact.
        const PhysicsVector corners[3] = {triangle.p[0], triangle.p[1], triangle.p[2]};
        const PhysicsMeshTriangle record{{0, 1, 2}};
        const int32_t candidate = 0;
        PhysicsGeometry terrain;
        terrain.Init();
        terrain.SetTerrain(&candidate, &candidate + 1, &record, corners);
        PhysicsTestResult viaTerrain;
        int32_t material = 0;
        if (PhysicsCollideCylinderTerrain(viaTerrain, material, capsule, place, terrain) != touches ||
            (touches && (viaTerrain.depth != result.depth || LengthSq(viaTerrain.normal - result.normal) != 0 ||
                         LengthSq(viaTerrain.first - result.first) != 0 || LengthSq(viaTerrain.second - result.second) != 0)))
            ++terrainDiffers;

        const Segment s = CapsuleSegment(capsule, place);
        const SegmentTriangleGap nearest = NearestSegmentTrianglePoints(s.top, s.bottom, triangle);
        if (std::fabs(nearest.gap - s.radius) < 1e-3f) continue;  // too close to touching to call
        if (touches != (nearest.gap < s.radius)) ++tally.misses;
        if (!touches || nearest.gap >= s.radius) continue;
        ++tally.contacts;
        if (!IsFinite(result.normal) || std::fabs(Length(result.normal) - 1.0f) > 1e-4f) {
            ++tally.badNormal;
            continue;
        }
        if (result.depth <= 0) ++tally.wrongDepth;
        if (std::sqrt(LengthSq(result.second - (result.first + result.normal * result.depth))) > 2e-3f) ++tally.wrongPoints;
        if (nearest.gap < 1e-3f) continue;  // the axis pierces the triangle: any way out will do
        const PhysicsVector onAxis = result.first + result.normal * s.radius;
        const float offAxis = std::sqrt(LengthSq(onAxis - NearestOnSegment(onAxis, s.top, s.bottom)));
        const float offTriangle = std::sqrt(LengthSq(result.second - NearestInTriangle(result.second, triangle)));
        if (offAxis > 2e-3f || offTriangle > 2e-3f) ++tally.wrongPoints;
        if (result.depth > s.radius - nearest.gap + 2e-3f) ++tally.wrongDepth;
    }
    tally.Expect("capsule-triangle");
    EXPECT_EQ(terrainDiffers, 0);
}

// The hull walk follows the line between the two centres: its depth is the overlap along the face
// of the shapes' difference that this line crosses, which is not always the shortest way out, and
// a separating plane off that line can be missed. What holds: overlapping hulls always touch, the
// depth is the overlap along the reported normal and never shorter than the shortest way out, and
// contacts between separated hulls stay rare.
TEST(PhysicsNarrowPhaseProperty, HullHull)
{
    std::mt19937 random(15);
    const auto octahedron = OctahedronHull(0.7f);
    const auto cube = BoxHull(0.4f, 0.5f, 0.6f);
    Tally tally;
    int separated = 0, falseContacts = 0;
    for (int i = 0; i < kPoses; ++i) {
        const HullTables& a = (i % 2) ? *octahedron : *cube;
        const PhysicsTransform ta = Place(RandomOffset(random, 1.1f), RandomRotation(random));
        const PhysicsTransform tb = Place({0, 0, 0, 0}, RandomRotation(random));
        PhysicsTestResult result;
        const bool touches = PhysicsCollideConvexPair(result, a.geometry, ta, octahedron->geometry, tb);
        const Polytope pa = HullPolytope(a, ta), pb = HullPolytope(*octahedron, tb);
        const WayOut reference = PolytopeWayOut(pa, pb);
        if (std::fabs(reference.depth) < 1e-3f) continue;
        if (reference.depth < 0) {
            ++separated;
            if (touches) ++falseContacts;
            continue;
        }
        if (!touches) {
            ++tally.misses;
            continue;
        }
        ++tally.contacts;
        if (!IsFinite(result.normal) || std::fabs(Length(result.normal) - 1.0f) > 1e-4f) ++tally.badNormal;
        const float along = pb.Max(result.normal) - pa.Min(result.normal);
        if (result.depth < reference.depth - 2e-3f || std::fabs(along - result.depth) > 2e-3f) ++tally.wrongDepth;
    }
    tally.Expect("hull-hull");
    EXPECT_LT(falseContacts, separated / 50);
}

}  // namespace
