#include <cmath>
#include <ostream>
#include <string>

#include <gtest/gtest.h>

#include "Render/PObb.h"
#include "math/PMath.h"

namespace {

constexpr float kEps = 1e-4f;

PVector3 Xyz(const PVector4& v) { return {v.x, v.y, v.z}; }

void ExpectNear(const PVector3& expected, const PVector3& actual)
{
    EXPECT_NEAR(expected.x, actual.x, kEps);
    EXPECT_NEAR(expected.y, actual.y, kEps);
    EXPECT_NEAR(expected.z, actual.z, kEps);
}

// Unit normal of a plane.
PVector3 Normal(const PPlane& p) { return Vec3Normalize(PlaneNormal(p)); }

// A box of half sizes 1, 2, 3 around local (1, 0, 0), turned a quarter about z and moved.
CPObb TurnedBox()
{
    CPObb box({1, 0, 0, 1}, {1, 2, 3, 0});
    box.SetWorld(MatrixRotationZ(kHalfPi) * MatrixTranslation(10, 20, 30));
    box.Update();
    return box;
}

// The unit cube around the origin (half size 1), updated.
CPObb UnitBox()
{
    CPObb box({0, 0, 0, 1}, {1, 1, 1, 0});
    box.Update();
    return box;
}

}  // namespace

TEST(ObbTest, ConstructionGivesLocalBoundsAndIdentityTransforms)
{
    const CPObb box({1, 2, 3, 1}, {0.5f, 1, 2, 0});
    ExpectNear({0.5f, 1, 1}, box.GetMin());
    ExpectNear({1.5f, 3, 5}, box.GetMax());
    EXPECT_EQ(MatrixIdentity(), box.GetWorld());
    EXPECT_EQ(MatrixIdentity(), box.GetLocal());
    EXPECT_EQ(MatrixIdentity(), box.GetAxes());
    EXPECT_EQ("CPObb", box.GetClassName());
}

TEST(ObbTest, UpdateCarriesCornersIntoTheWorldInCornerOrder)
{
    const CPObb box = TurnedBox();
    // Rotating a quarter about z sends local (x, y) to (−y, x); then the box moves by (10, 20, 30).
    const float signs[8][3] = {{-1, -1, -1}, {1, -1, -1}, {1, 1, -1}, {-1, 1, -1},
                               {-1, -1, 1},  {1, -1, 1},  {1, 1, 1},  {-1, 1, 1}};
    for (int i = 0; i < 8; ++i) {
        const PVector3 local{1 + signs[i][0] * 1, signs[i][1] * 2, signs[i][2] * 3};
        SCOPED_TRACE(i);
        ExpectNear({10 - local.y, 20 + local.x, 30 + local.z}, Xyz(box.GetCorner(i)));
        EXPECT_FLOAT_EQ(1.0f, box.GetCorner(i).w);
    }
    ExpectNear({8, 20, 27}, box.GetMin());
    ExpectNear({12, 22, 33}, box.GetMax());
}

TEST(ObbTest, PlanesPointOutOfTheBoxAlongTheirFaces)
{
    const CPObb box = TurnedBox();
    // Local face normals (z−, x+, y+, x−, y−, z+), turned a quarter about z.
    const PVector3 expected[6] = {{0, 0, -1}, {0, 1, 0}, {-1, 0, 0}, {0, -1, 0}, {1, 0, 0}, {0, 0, 1}};
    const PVector3 centre{10, 21, 30};
    for (int i = 0; i < 6; ++i) {
        SCOPED_TRACE(i);
        ExpectNear(expected[i], Normal(box.GetPlane(i)));
        EXPECT_LT(PlaneDotCoord(box.GetPlane(i), centre), 0.0f);
        for (int c = 0; c < 8; ++c) {
            EXPECT_LE(PlaneDotCoord(box.GetPlane(i), Xyz(box.GetCorner(c))), kEps);
        }
    }
}

TEST(ObbTest, UpdateThickensFlatBoxesAndStoresTheNewHalfSize)
{
    CPObb box({0, 0, 0, 1}, {2, 0, -1, 0});
    box.Update();
    EXPECT_FLOAT_EQ(2.0f, box.GetHalfSize().x);
    EXPECT_FLOAT_EQ(CPObb::kMinHalfSize, box.GetHalfSize().y);
    EXPECT_FLOAT_EQ(CPObb::kMinHalfSize, box.GetHalfSize().z);
    ExpectNear({-2, -0.001f, -0.001f}, box.GetMin());
    ExpectNear({2, 0.001f, 0.001f}, box.GetMax());
    // The thickened box still has proper planes: a segment through it hits its top.
    float distance = 10;
    PPlane plane{};
    EXPECT_TRUE(box.IntersectSegment({0.5f, 0, 5}, {0, 0, -1}, distance, plane));
    EXPECT_NEAR(5 - 0.001f, distance, kEps);
}

TEST(ObbTest, CopiesCarryEveryField)
{
    CPObb box = TurnedBox();
    box.SetLocal(MatrixTranslation(1, 2, 3));
    const CPObb copy = box;
    EXPECT_EQ(box.GetLocal(), copy.GetLocal());
    EXPECT_EQ(box.GetWorld(), copy.GetWorld());
    for (int i = 0; i < 8; ++i) EXPECT_EQ(box.GetCorner(i), copy.GetCorner(i));
    for (int i = 0; i < 6; ++i) EXPECT_EQ(box.GetPlane(i), copy.GetPlane(i));
    EXPECT_EQ(box.GetMin(), copy.GetMin());
    EXPECT_EQ(box.GetMax(), copy.GetMax());
}

struct SegmentCase {
    const char* name;
    PVector3 origin;
    PVector3 direction;
    float distance;  // in
    bool hit;
    float hitDistance;  // out when hit
    int plane;          // face hit, when hit
};

void PrintTo(const SegmentCase& c, std::ostream* out) { *out << c.name; }

class ObbSegmentTest : public ::testing::TestWithParam<SegmentCase> {};

TEST_P(ObbSegmentTest, FindsTheNearestEntryFace)
{
    const SegmentCase& c = GetParam();
    const CPObb box = UnitBox();
    float distance = c.distance;
    const PPlane untouched{7, 7, 7, 7};
    PPlane plane = untouched;
    EXPECT_EQ(c.hit, box.IntersectSegment(c.origin, Vec3Normalize(c.direction), distance, plane));
    if (c.hit) {
        EXPECT_NEAR(c.hitDistance, distance, kEps);
        EXPECT_EQ(box.GetPlane(c.plane), plane);
    } else {
        EXPECT_EQ(c.distance, distance);
        EXPECT_EQ(untouched, plane);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Cases, ObbSegmentTest,
    ::testing::Values(
        SegmentCase{"FromBelow", {0.2f, 0.3f, -5}, {0, 0, 1}, 10, true, 4, 0},
        SegmentCase{"FromPlusX", {5, 0.5f, -0.2f}, {-1, 0, 0}, 10, true, 4, 1},
        SegmentCase{"FromPlusY", {0.1f, 6, 0.4f}, {0, -1, 0}, 10, true, 5, 2},
        SegmentCase{"FromMinusX", {-3, -0.5f, 0.7f}, {1, 0, 0}, 10, true, 2, 3},
        SegmentCase{"FromMinusY", {0.3f, -4, 0.2f}, {0, 1, 0}, 10, true, 3, 4},
        SegmentCase{"FromAbove", {-0.4f, 0.6f, 3}, {0, 0, -1}, 10, true, 2, 5},
        SegmentCase{"SlantedPastOneFaceIntoTheNext", {-3, 0.1f, -3.5f}, {1, 0, 1}, 10, true, 3.535534f, 0},
        SegmentCase{"EndsShortOfTheBox", {0.2f, 0.3f, -5}, {0, 0, 1}, 3.5f, false, 0, 0},
        SegmentCase{"EndsExactlyOnTheFace", {0.2f, 0.3f, -5}, {0, 0, 1}, 4, false, 0, 0},
        SegmentCase{"StartsOnTheFaceFromOutside", {0.2f, 0.3f, -1}, {0, 0, 1}, 10, true, 0, 0},
        SegmentCase{"PointsAway", {0.2f, 0.3f, -5}, {0, 0, -1}, 10, false, 0, 0},
        SegmentCase{"ParallelBesideTheBox", {0.2f, 2, -5}, {0, 0, 1}, 10, false, 0, 0},
        SegmentCase{"PassesBeside", {1.5f, 0, -5}, {0, 0, 1}, 10, false, 0, 0},
        SegmentCase{"StartsOnTheFaceLeaving", {0.2f, 0.3f, 1}, {0, 0, 1}, 10, false, 0, 0},
        // A start inside hits at once, on the face nearest to the start (here x = +1).
        SegmentCase{"StartsInside", {0.8f, 0.1f, -0.3f}, {0, 0, 1}, 10, true, 0, 1},
        SegmentCase{"StartsInsideNearTheBottom", {0.1f, 0.2f, -0.9f}, {1, 0, 0}, 10, true, 0, 0}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(ObbTest, StartInsideDoesNotBeatAHitAlreadyAtZero)
{
    const CPObb box = UnitBox();
    float distance = 0;
    PPlane plane{7, 7, 7, 7};
    EXPECT_FALSE(box.IntersectSegment({0, 0, 0}, {0, 0, 1}, distance, plane));
    EXPECT_EQ(0.0f, distance);
    EXPECT_EQ((PPlane{7, 7, 7, 7}), plane);
}

TEST(ObbTest, TurnedBoxIsHitOnItsTurnedFace)
{
    // A box turned 45 degrees about z: its corner points at −x, and a segment along +x a little
    // above that corner meets the face whose outward normal is (−1, 1, 0) / √2.
    CPObb box({0, 0, 0, 1}, {1, 1, 1, 0});
    box.SetWorld(MatrixRotationZ(kPi / 4) * MatrixTranslation(5, 0, 0));
    box.Update();
    float distance = 100;
    PPlane plane{};
    ASSERT_TRUE(box.IntersectSegment({0, 0.3f, 0}, {1, 0, 0}, distance, plane));
    // The corner (−√2, 0) of the turned square sits at x = 5 − √2; at y = 0.3 the face is 0.3 further.
    EXPECT_NEAR(5 - std::sqrt(2.0f) + 0.3f, distance, kEps);
    EXPECT_LT(PlaneDotNormal(plane, {1, 0, 0}), 0.0f);
    EXPECT_GT(PlaneDotNormal(plane, {0, 1, 0}), 0.0f);
}

TEST(ObbTest, PassingTheDistanceOnFindsTheNearestOfSeveralBoxes)
{
    // Three boxes along +x; tested far first, the nearest still wins.
    CPObb boxes[3] = {CPObb({20, 0, 0, 1}, {1, 1, 1, 0}), CPObb({5, 0, 0, 1}, {1, 1, 1, 0}),
                      CPObb({10, 0, 0, 1}, {1, 1, 1, 0})};
    float distance = 100;
    PPlane plane{};
    int hits = 0;
    for (CPObb& box : boxes) {
        box.Update();
        hits += box.IntersectSegment({0, 0.2f, 0.1f}, {1, 0, 0}, distance, plane) ? 1 : 0;
    }
    EXPECT_EQ(2, hits);  // the far box first, then the nearest; the middle one is no longer nearer
    EXPECT_NEAR(4.0f, distance, kEps);
    EXPECT_EQ(boxes[1].GetPlane(3), plane);
}
