#include <cmath>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "physics/engine/PhysicsOrientedBox.h"
#include "physics/engine/PhysicsPrimitiveTests.h"
#include "physics/physics_fixture.h"
#include "physics/segment_triangle_reference.h"
#include "physics/shape_fixture.h"

namespace {

constexpr float kHalfPi = 1.5707963f;

struct PairCase {
    std::string name;
    PhysicsGeometry a;
    PhysicsTransform ta;
    PhysicsGeometry b;
    PhysicsTransform tb;
    bool touches;
    PhysicsVector normal;
    float depth;
};

void ExpectContact(const PairCase& c)
{
    PhysicsTestResult result;
    int32_t material = 0;
    const bool touches = PhysicsCollideGeometries(result, material, c.a, c.ta, c.b, c.tb);
    ASSERT_EQ(touches, c.touches) << c.name;
    if (!touches) return;
    EXPECT_NEAR(result.normal.x, c.normal.x, 1e-4f) << c.name;
    EXPECT_NEAR(result.normal.y, c.normal.y, 1e-4f) << c.name;
    EXPECT_NEAR(result.normal.z, c.normal.z, 1e-4f) << c.name;
    EXPECT_NEAR(result.depth, c.depth, 1e-4f) << c.name;
    // The second point lies the depth along the normal from the first.
    const PhysicsVector step = result.second - (result.first + result.normal * result.depth);
    EXPECT_LT(Length(step), 1e-4f) << c.name << " first " << result.first << " second " << result.second;
}

TEST(PhysicsNarrowPhase, BoxPairs)
{
    const PhysicsGeometry unit = Box(1, 1, 1);
    const float cornerDown = std::acos(1 / std::sqrt(3.0f));  // turns the (1, 1, 1) corner onto -z
    const PhysicsQuaternion corner = AxisAngle({1, -1, 0, 0}, -cornerDown);
    const std::vector<PairCase> cases = {
        {"face on face", unit, Place({0, 0, 0.99f, 0}), unit, Place({0, 0, 0, 0}), true, {0, 0, 1, 0}, 0.01f},
        {"upper turned about x", unit, Place({0, 0, 0.99f, 0}, AxisAngle({1, 0, 0, 0}, kHalfPi)), unit,
         Place({0, 0, 0, 0}), true, {0, 0, 1, 0}, 0.01f},
        {"upper turned about y", unit, Place({0, 0, 0.99f, 0}, AxisAngle({0, 1, 0, 0}, kHalfPi)), unit,
         Place({0, 0, 0, 0}), true, {0, 0, 1, 0}, 0.01f},
        {"upper turned about z", unit, Place({0, 0, 0.99f, 0}, AxisAngle({0, 0, 1, 0}, kHalfPi)), unit,
         Place({0, 0, 0, 0}), true, {0, 0, 1, 0}, 0.01f},
        {"upper below", unit, Place({0, 0, -0.99f, 0}), unit, Place({0, 0, 0, 0}), true, {0, 0, -1, 0}, 0.01f},
        {"side by side", unit, Place({0.9f, 0.2f, 0.1f, 0}), unit, Place({0, 0, 0, 0}), true, {1, 0, 0, 0}, 0.1f},
        {"deep", unit, Place({0, 0, 0.3f, 0}), unit, Place({0, 0, 0, 0}), true, {0, 0, 1, 0}, 0.7f},
        {"just apart", unit, Place({0, 0, 1.001f, 0}), unit, Place({0, 0, 0, 0}), false, {}, 0},
        {"touching", unit, Place({0, 0, 1.0f, 0}), unit, Place({0, 0, 0, 0}), false, {}, 0},
        {"crossed edges", unit, Place({0, 0, std::sqrt(2.0f) - 0.05f, 0}, AxisAngle({1, 0, 0, 0}, kHalfPi / 2)), unit,
         Place({0, 0, 0, 0}, AxisAngle({0, 1, 0, 0}, kHalfPi / 2)), true, {0, 0, 1, 0}, 0.05f},
        {"corner on a face", unit, Place({0, 0, 0.5f + std::sqrt(3.0f) / 2 - 0.02f, 0}, corner), Box(4, 4, 1),
         Place({0, 0, 0, 0}), true, {0, 0, 1, 0}, 0.02f},
    };
    for (const PairCase& c : cases) ExpectContact(c);
}

TEST(PhysicsNarrowPhase, CrossedEdgesMeetAtTheirClosestPoints)
{
    const PhysicsGeometry unit = Box(1, 1, 1);
    PhysicsTestResult result;
    ASSERT_TRUE(PhysicsCollideBoxBox(result, unit, Place({0, 0, std::sqrt(2.0f) - 0.05f, 0}, AxisAngle({1, 0, 0, 0}, kHalfPi / 2)),
                                     unit, Place({0, 0, 0, 0}, AxisAngle({0, 1, 0, 0}, kHalfPi / 2))));
    EXPECT_TRUE(result.edgeContact);
    EXPECT_NEAR(result.first.z, std::sqrt(2.0f) / 2 - 0.05f, 1e-4f);
    EXPECT_NEAR(result.second.z, std::sqrt(2.0f) / 2, 1e-4f);
    EXPECT_NEAR(result.first.x, 0.0f, 1e-4f);
    EXPECT_NEAR(result.first.y, 0.0f, 1e-4f);
}

TEST(PhysicsNarrowPhase, RoundShapePairs)
{
    const PhysicsQuaternion alongX = AxisAngle({0, 0, 1, 0}, kHalfPi);
    const PhysicsQuaternion upright = AxisAngle({1, 0, 0, 0}, kHalfPi);
    const PhysicsGeometry capsule = Capsule(0.5f, 1.0f);  // ends 0.5 from its centre
    const PhysicsGeometry ball = Sphere(0.5f);
    const PhysicsGeometry unit = Box(1, 1, 1);
    const std::vector<PairCase> cases = {
        {"spheres", Sphere(1), Place({0, 0, 1.5f, 0}), Sphere(1), Place({0, 0, 0, 0}), true, {0, 0, 1, 0}, 0.5f},
        {"concentric spheres", Sphere(1), Place({1, 2, 3, 0}), Sphere(2), Place({1, 2, 3, 0}), false, {}, 0},
        {"sphere on a box face", unit, Place({0, 0, 0, 0}), ball, Place({0, 0, 0.9f, 0}), true, {0, 0, -1, 0}, 0.1f},
        {"box under a sphere", ball, Place({0, 0, 0.9f, 0}), unit, Place({0, 0, 0, 0}), true, {0, 0, 1, 0}, 0.1f},
        {"sphere at a box corner", unit, Place({0, 0, 0, 0}), ball, Place({0.75f, 0.75f, 0.75f, 0}), true,
         Normalized(PhysicsVector{-1, -1, -1, 0}), 0.5f - std::sqrt(3 * 0.0625f)},
        {"sphere inside a box", unit, Place({0, 0, 0, 0}), Sphere(0.1f), Place({0, 0, 0.3f, 0}), true, {0, 0, -1, 0},
         0.3f},
        {"capsules crossing", capsule, Place({0, 0, 0.9f, 0}, alongX), capsule, Place({0, 0, 0, 0}), true,
         {0, 0, 1, 0}, 0.1f},
        {"capsules end to end", capsule, Place({0, 1.9f, 0, 0}), capsule, Place({0, 0, 0, 0}), true, {0, 1, 0, 0}, 0.1f},
        {"capsules side by side", capsule, Place({0.95f, 0.3f, 0, 0}), capsule, Place({0, 0, 0, 0}), true,
         {1, 0, 0, 0}, 0.05f},
        {"capsules apart", capsule, Place({1.01f, 0, 0, 0}), capsule, Place({0, 0, 0, 0}), false, {}, 0},
        {"capsule on a box", unit, Place({0, 0, 0, 0}), capsule, Place({0, 0, 1.4f, 0}, upright), true, {0, 0, -1, 0},
         0.1f},
        {"box on a capsule", capsule, Place({0, 0, 1.4f, 0}, upright), unit, Place({0, 0, 0, 0}), true, {0, 0, 1, 0},
         0.1f},
        {"capsule touching a box", unit, Place({0, 0, 0, 0}), capsule, Place({0, 0, 1.5f, 0}, upright), true,
         {0, 0, -1, 0}, 0.0f},
        {"capsule beside a sphere", capsule, Place({0, 0, 0, 0}), ball, Place({0.9f, 0.2f, 0, 0}), true, {-1, 0, 0, 0},
         0.1f},
        {"sphere on a capsule end", capsule, Place({0, 0, 0, 0}), ball, Place({0, 1.4f, 0, 0}), true, {0, -1, 0, 0},
         0.1f},
    };
    for (const PairCase& c : cases) ExpectContact(c);
}

TEST(PhysicsNarrowPhase, CoincidentFeaturesGiveAFiniteUnitNormal)
{
    const PhysicsGeometry capsule = Capsule(0.5f, 1.0f);
    const PhysicsGeometry unit = Box(1, 1, 1);
    struct Case {
        std::string name;
        PhysicsGeometry a;
        PhysicsTransform ta;
        PhysicsGeometry b;
        PhysicsTransform tb;
    };
    const std::vector<Case> cases = {
        {"capsule axes crossing", capsule, Place({0, 0, 0, 0}, AxisAngle({0, 0, 1, 0}, kHalfPi)), capsule,
         Place({0, 0, 0, 0})},
        {"capsule ends together", capsule, Place({0, 1, 0, 0}), capsule, Place({0, 0, 0, 0}, AxisAngle({0, 0, 1, 0}, 3.14159265f))},
        {"same capsule twice", capsule, Place({0, 0, 0, 0}), capsule, Place({0, 0, 0, 0})},
        {"capsule through a box", unit, Place({0, 0, 0, 0}), capsule, Place({0.1f, 0.2f, 0, 0})},
        {"box around a capsule", capsule, Place({0.1f, 0.2f, 0, 0}), unit, Place({0, 0, 0, 0})},
        {"sphere on a capsule's axis", capsule, Place({0, 0, 0, 0}), Sphere(0.3f), Place({0, 0.2f, 0, 0})},
        {"sphere on a box edge", unit, Place({0, 0, 0, 0}), Sphere(0.3f), Place({0.5f, 0.5f, 0, 0})},
        {"sphere on a box corner", unit, Place({0, 0, 0, 0}), Sphere(0.3f), Place({0.5f, 0.5f, 0.5f, 0})},
    };
    for (const Case& c : cases) {
        PhysicsTestResult result;
        int32_t material = 0;
        ASSERT_TRUE(PhysicsCollideGeometries(result, material, c.a, c.ta, c.b, c.tb)) << c.name;
        EXPECT_TRUE(IsFinite(result.normal)) << c.name;
        EXPECT_NEAR(Length(result.normal), 1.0f, 1e-5f) << c.name;
        EXPECT_TRUE(std::isfinite(result.depth) && result.depth >= 0.0f) << c.name;
        EXPECT_TRUE(IsFinite(result.first) && IsFinite(result.second)) << c.name;
    }
}

// A triangle lying flat at height z (normal +z), large around the origin.
PhysicsTriangleInfo FlatTriangle(float z = 0)
{
    return PhysicsTriangleInfo({-10, -10, z, 0}, {10, -10, z, 0}, {0, 10, z, 0});
}

TEST(PhysicsNarrowPhase, ShapesOnATriangle)
{
    PhysicsTestResult result;
    // A box corner 0.05 below the surface: the triangle's normal decides.
    ASSERT_TRUE(PhysicsOrientedBox(Box(1, 1, 1), Place({0, 0, 0.45f, 0})).CollideTriangle(result, FlatTriangle()));
    EXPECT_NEAR(result.depth, 0.05f, 1e-5f);
    EXPECT_NEAR(result.normal.z, 1.0f, 1e-6f);

    // A capsule standing on the triangle with its cap 0.1 deep.
    const PhysicsTransform standing = Place({0, 0, 0.9f, 0}, AxisAngle({1, 0, 0, 0}, kHalfPi));
    ASSERT_TRUE(PhysicsCollideCapsuleTriangle(result, Capsule(0.5f, 1.0f), standing, FlatTriangle()));
    EXPECT_NEAR(result.depth, 0.1f, 1e-5f);
    EXPECT_NEAR(result.normal.z, 1.0f, 1e-6f);  // the triangle's normal on the capsule's side
    EXPECT_NEAR(result.first.z, -0.1f, 1e-5f);
    EXPECT_NEAR(result.second.z, 0.0f, 1e-5f);

    // A sphere 0.2 into the face, and one that sits on a vertex.
    ASSERT_TRUE(PhysicsCollideSphereTriangle(result, Sphere(0.5f), Place({0, 0, 0.3f, 0}), FlatTriangle()));
    EXPECT_NEAR(result.depth, 0.2f, 1e-5f);
    EXPECT_NEAR(result.normal.z, 1.0f, 1e-6f);
    ASSERT_TRUE(PhysicsCollideSphereTriangle(result, Sphere(0.5f), Place({10, -10, 0, 0}), FlatTriangle()));
    EXPECT_NEAR(Length(result.normal), 1.0f, 1e-6f);

    // Triangles without area touch nothing.
    const PhysicsTriangleInfo line({0, 0, 0, 0}, {1, 0, 0, 0}, {2, 0, 0, 0});
    const PhysicsTriangleInfo point({0, 0, 0, 0}, {0, 0, 0, 0}, {0, 0, 0, 0});
    for (const PhysicsTriangleInfo& flat : {line, point}) {
        EXPECT_FALSE(PhysicsOrientedBox(Box(1, 1, 1), Place({0, 0, 0, 0})).CollideTriangle(result, flat));
        EXPECT_FALSE(PhysicsCollideCapsuleTriangle(result, Capsule(0.5f, 1), Place({0, 0, 0, 0}), flat));
        EXPECT_FALSE(PhysicsCollideSphereTriangle(result, Sphere(1), Place({0, 0, 0, 0}), flat));
        EXPECT_FALSE(PhysicsCollideConvexTriangle(result, Box(1, 1, 1), Place({0, 0, 0, 0}), flat));
    }
}

// A capsule against one triangle, each pose also measured by the slow reference: a contact
// exactly when the capsule's axis comes nearer to the triangle than its radius, with the second
// point on the triangle and the first point the radius below the axis along the normal.
TEST(PhysicsNarrowPhase, CapsuleAgainstATriangle)
{
    const PhysicsGeometry capsule = Capsule(0.5f, 1.0f);  // ends 0.5 from the centre
    const PhysicsQuaternion upright = AxisAngle({1, 0, 0, 0}, kHalfPi);
    const PhysicsQuaternion alongX = AxisAngle({0, 0, 1, 0}, kHalfPi);
    const PhysicsQuaternion alongY{0, 0, 0, 1};
    // Flat, normal +z, edge p2-p0 on the y axis, vertex p1 at (10, 0, 0).
    const PhysicsTriangleInfo wide({0, -5, 0, 0}, {10, 0, 0, 0}, {0, 5, 0, 0});
    // Far along the x axis, its first edge nearly in line with a capsule lying along x.
    const PhysicsTriangleInfo farAlongX({10, 0.05f, 0, 0}, {11, 0.055f, 0, 0}, {10.5f, -1, 0, 0});
    // High up the z axis, its first edge nearly in line with a standing capsule.
    const PhysicsTriangleInfo farAboveZ({0, 0.02f, 10, 0}, {0.02f, 0, 11, 0}, {3, 3, 10.5f, 0});
    struct Case {
        std::string name;
        PhysicsGeometry capsule;
        PhysicsTransform place;
        PhysicsTriangleInfo triangle;
        bool touches;
        PhysicsVector normal;
        float depth;
    };
    const float slant = std::sqrt(0.1f);
    const std::vector<Case> cases = {
        {"far triangle in line with a lying capsule", capsule, Place({0, 0, 0.2f, 0}, alongX), farAlongX, false, {}, 0},
        {"far triangle in line with a standing capsule", capsule, Place({0, 0, 0.9f, 0}, upright), farAboveZ, false, {}, 0},
        {"just out of reach of an edge", capsule, Place({-0.55f, 0, 0.6f, 0}, upright), wide, false, {}, 0},
        {"standing on the face", capsule, Place({2, 0, 0.9f, 0}, upright), wide, true, {0, 0, 1, 0}, 0.1f},
        {"lying almost flat on the face", capsule, Place({2, 0, 0.46f, 0}, TurnYToward({std::cos(0.02f), 0, std::sin(0.02f), 0})),
         wide, true, {0, 0, 1, 0}, 0.05f},
        {"piercing the face", capsule, Place({2, 0, 0.2f, 0}, upright), wide, true, {0, 0, 1, 0}, 0.8f},
        {"slanting across an edge outside the face", capsule, Place({-0.3f, 0, 0, 0}, TurnYToward({0, 1, 1, 0})), wide,
         true, {-1, 0, 0, 0}, 0.2f},
        {"lying along an edge outside the face", capsule, Place({-0.3f, 0, 0.1f, 0}, alongY), wide, true,
         {-0.3f / slant, 0, 0.1f / slant, 0}, 0.5f - slant},
        {"standing beside an edge", capsule, Place({-0.3f, 0, 0.6f, 0}, upright), wide, true,
         {-0.3f / slant, 0, 0.1f / slant, 0}, 0.5f - slant},
        {"standing beside a vertex", capsule, Place({10.3f, 0, 0.8f, 0}, upright), wide, true,
         {std::sqrt(0.5f), 0, std::sqrt(0.5f), 0}, 0.5f - std::sqrt(0.18f)},
        {"a capsule of no length at a vertex", Capsule(0.5f, 0), Place({10.3f, 0, 0.3f, 0}), wide, true,
         {std::sqrt(0.5f), 0, std::sqrt(0.5f), 0}, 0.5f - std::sqrt(0.18f)},
    };
    for (const Case& c : cases) {
        const float r = c.capsule.shape.x;
        const PhysicsVector axis = c.place.axes.row[1] * c.capsule.shape.z;
        const SegmentTriangleGap nearest =
            NearestSegmentTrianglePoints(c.place.position + axis, c.place.position - axis, c.triangle);
        EXPECT_EQ(nearest.gap < r, c.touches) << c.name << ": the reference disagrees, gap " << nearest.gap;
        PhysicsTestResult result;
        const bool touches = PhysicsCollideCapsuleTriangle(result, c.capsule, c.place, c.triangle);
        EXPECT_EQ(touches, c.touches) << c.name << ", depth " << result.depth << " normal " << result.normal;
        if (!touches || !c.touches) continue;
        EXPECT_NEAR(result.normal.x, c.normal.x, 1e-4f) << c.name;
        EXPECT_NEAR(result.normal.y, c.normal.y, 1e-4f) << c.name;
        EXPECT_NEAR(result.normal.z, c.normal.z, 1e-4f) << c.name;
        EXPECT_NEAR(result.depth, c.depth, 1e-4f) << c.name;
        if (nearest.gap > 1e-3f) {
            EXPECT_NEAR(result.depth, r - nearest.gap, 1e-4f) << c.name;
        }
        auto distance = [](const PhysicsVector& p, const PhysicsVector& q) { return std::sqrt(LengthSq(p - q)); };
        EXPECT_LT(distance(result.second, result.first + result.normal * result.depth), 1e-4f) << c.name;
        EXPECT_LT(distance(result.second, NearestInTriangle(result.second, c.triangle)), 1e-4f) << c.name;
        const PhysicsVector onAxis = result.first + result.normal * r;
        EXPECT_LT(distance(onAxis, NearestOnSegment(onAxis, c.place.position + axis, c.place.position - axis)), 1e-4f)
            << c.name;
    }
}

TEST(PhysicsNarrowPhase, TerrainTestsKeepTheDeepestTriangleAndHonourTheModes)
{
    // Two flat triangles under the origin, the second higher (deeper into the shapes).
    std::vector<PhysicsVector> vertices = {{-10, -10, 0, 0}, {10, -10, 0, 0}, {0, 10, 0, 0},
                                           {-10, -10, 0.05f, 0}, {10, -10, 0.05f, 0}, {0, 10, 0.05f, 0}};
    std::vector<PhysicsMeshTriangle> triangles(2);
    for (int t = 0; t < 2; ++t) {
        for (int k = 0; k < 3; ++k) triangles[t].vertex[k] = 3 * t + k;
        triangles[t].material = 10 + t;
    }
    const int32_t candidates[] = {0, 1};
    PhysicsGeometry terrain;
    terrain.Init();
    terrain.SetTerrain(candidates, candidates + 2, triangles.data(), vertices.data());

    const PhysicsGeometry box = Box(1, 1, 1);
    const PhysicsGeometry capsule = Capsule(0.5f, 1.0f);
    const PhysicsTransform boxPlace = Place({0, 0, 0.45f, 0});
    const PhysicsTransform capsulePlace = Place({0, 0, 0.9f, 0}, AxisAngle({1, 0, 0, 0}, kHalfPi));
    PhysicsTestResult result;
    int32_t material = -1;
    ASSERT_TRUE(PhysicsCollideGeometries(result, material, box, boxPlace, terrain, PhysicsTransform{}));
    EXPECT_NEAR(result.depth, 0.1f, 1e-5f);
    EXPECT_EQ(material, 11);
    ASSERT_TRUE(PhysicsCollideGeometries(result, material, capsule, capsulePlace, terrain, PhysicsTransform{}));
    EXPECT_NEAR(result.depth, 0.15f, 1e-5f);

    // Mode 1 triangles meet boxes only (through the column test); mode 2 and up meet nothing.
    triangles[1].mode = 1;
    material = -1;
    ASSERT_TRUE(PhysicsCollideGeometries(result, material, capsule, capsulePlace, terrain, PhysicsTransform{}));
    EXPECT_EQ(material, 10);
    triangles[0].mode = triangles[1].mode = 2;
    EXPECT_FALSE(PhysicsCollideGeometries(result, material, box, boxPlace, terrain, PhysicsTransform{}));
    EXPECT_FALSE(PhysicsCollideGeometries(result, material, capsule, capsulePlace, terrain, PhysicsTransform{}));

    // An empty candidate list touches nothing.
    terrain.SetTerrain(candidates, candidates, triangles.data(), vertices.data());
    EXPECT_FALSE(PhysicsCollideGeometries(result, material, box, boxPlace, terrain, PhysicsTransform{}));
}

TEST(PhysicsNarrowPhase, HullsCollideLikeTheShapesTheyDescribe)
{
    const auto cube = BoxHull(0.5f, 0.5f, 0.5f);
    const PhysicsGeometry unit = Box(1, 1, 1);
    const auto octahedron = OctahedronHull(1.0f);
    const std::vector<PairCase> cases = {
        {"hull on a box", cube->geometry, Place({0, 0, 0.99f, 0}), unit, Place({0, 0, 0, 0}), true, {0, 0, 1, 0}, 0.01f},
        {"box on a hull", unit, Place({0, 0, 0.99f, 0}), cube->geometry, Place({0, 0, 0, 0}), true, {0, 0, 1, 0}, 0.01f},
        {"hull beside a hull", cube->geometry, Place({0.95f, 0, 0, 0}), cube->geometry, Place({0, 0, 0, 0}), true,
         {1, 0, 0, 0}, 0.05f},
        {"hulls apart", cube->geometry, Place({1.05f, 0, 0, 0}), cube->geometry, Place({0, 0, 0, 0}), false, {}, 0},
        {"octahedron tip on a box", octahedron->geometry, Place({0, 0, 1.45f, 0}), unit, Place({0, 0, 0, 0}), true,
         {0, 0, 1, 0}, 0.05f},
        {"crossed hull edges", cube->geometry,
         Place({0, 0, std::sqrt(2.0f) - 0.05f, 0}, AxisAngle({1, 0, 0, 0}, kHalfPi / 2)), cube->geometry,
         Place({0, 0, 0, 0}, AxisAngle({0, 1, 0, 0}, kHalfPi / 2)), true, {0, 0, 1, 0}, 0.05f},
        {"same centre", cube->geometry, Place({0, 0, 0, 0}), cube->geometry, Place({0, 0, 0, 0}), true, {}, 1.0f},
    };
    for (const PairCase& c : cases) {
        if (c.name == "same centre") {
            PhysicsTestResult result;
            int32_t material = 0;
            ASSERT_TRUE(PhysicsCollideGeometries(result, material, c.a, c.ta, c.b, c.tb));
            EXPECT_NEAR(result.depth, 1.0f, 1e-4f);
            EXPECT_NEAR(Length(result.normal), 1.0f, 1e-5f);
            continue;
        }
        ExpectContact(c);
    }

    // A hull resting on a terrain triangle seen from behind: the back face explains it.
    PhysicsTestResult result;
    ASSERT_TRUE(PhysicsCollideConvexTriangle(result, cube->geometry, Place({0, 0, -0.45f, 0}), FlatTriangle()));
    EXPECT_NEAR(result.normal.z, -1.0f, 1e-4f);
    EXPECT_NEAR(result.depth, 0.05f, 1e-4f);
}

}  // namespace
