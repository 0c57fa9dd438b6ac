#include <ostream>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "Render/PBoundingBox.h"
#include "Render/PObb.h"
#include "math/PMath.h"

namespace {

constexpr float kEps = 1e-4f;

void ExpectNear(const PVector3& expected, const PVector3& actual)
{
    EXPECT_NEAR(expected.x, actual.x, kEps);
    EXPECT_NEAR(expected.y, actual.y, kEps);
    EXPECT_NEAR(expected.z, actual.z, kEps);
}

CPBoundingBox Box(const PVector3& min, const PVector3& max)
{
    CPBoundingBox box;
    box.min = min;
    box.max = max;
    box.Recompute();
    return box;
}

CPObb UpdatedObb(const PVector3& centre, const PVector3& halfSize)
{
    CPObb obb({centre.x, centre.y, centre.z, 1}, {halfSize.x, halfSize.y, halfSize.z, 0});
    obb.Update();
    return obb;
}

}  // namespace

TEST(BoundingBoxTest, RecomputeGivesCentreAndHalfExtents)
{
    const CPBoundingBox box = Box({-1, 2, 4}, {3, 6, 5});
    ExpectNear({1, 4, 4.5f}, box.centre);
    ExpectNear({2, 2, 0.5f}, box.halfExtents);
}

TEST(BoundingBoxTest, SetFromObbsIsTheUnionOfTheWorldBounds)
{
    CPObb turned({0, 0, 0, 1}, {2, 1, 1, 0});
    turned.SetWorld(MatrixRotationZ(kHalfPi) * MatrixTranslation(0, 0, 10));
    turned.Update();
    const std::vector<CPObb> boxes = {UpdatedObb({5, 5, 5}, {1, 1, 1}), turned};

    CPBoundingBox box;
    box.SetFromObbs(boxes);
    ExpectNear({-1, -2, 4}, box.min);
    ExpectNear({6, 6, 11}, box.max);
    ExpectNear({2.5f, 2, 7.5f}, box.centre);

    box.SetFromObb(turned);
    ExpectNear({-1, -2, 9}, box.min);
    ExpectNear({1, 2, 11}, box.max);
    ExpectNear({1, 2, 1}, box.halfExtents);
}

TEST(BoundingBoxTest, NoBoxesGiveTheEmptyBoxWhichMergesAsNothing)
{
    CPBoundingBox none = Box({1, 1, 1}, {2, 2, 2});
    none.SetFromObbs({});
    EXPECT_EQ((PVector3{1e6f, 1e6f, 1e6f}), none.min);
    EXPECT_EQ((PVector3{-1e6f, -1e6f, -1e6f}), none.max);
    ExpectNear({1.5f, 1.5f, 1.5f}, none.centre);  // untouched

    CPBoundingBox parent = Box({-3, 0, 2}, {4, 5, 6});
    const CPBoundingBox before = parent;
    parent.Merge(none);
    EXPECT_EQ(before.min, parent.min);
    EXPECT_EQ(before.max, parent.max);
    EXPECT_EQ(before.centre, parent.centre);
    EXPECT_EQ(before.halfExtents, parent.halfExtents);

    // An empty box spreads nothing around a point; a real one its own half extents.
    EXPECT_TRUE(none.IsEmpty());
    EXPECT_EQ((PVector3{0, 0, 0}), none.HalfExtentsOrZero());
    EXPECT_FALSE(parent.IsEmpty());
    EXPECT_EQ(parent.halfExtents, parent.HalfExtentsOrZero());

    // A default box is empty too, and meets nothing.
    const CPBoundingBox fresh;
    EXPECT_EQ(none.min, fresh.min);
    EXPECT_TRUE(fresh.IsEmpty());
    EXPECT_FALSE(fresh.IntersectsSphere({0, 0, 0}, 100));
    EXPECT_FALSE(fresh.IntersectsSegment({0, 0, -50}, {0, 0, 1}, 100));
}

TEST(BoundingBoxTest, MergeWidensPerComponentAndRecomputes)
{
    CPBoundingBox box = Box({0, 0, 0}, {1, 1, 1});
    box.Merge(Box({-2, 0.5f, 0.5f}, {0.5f, 3, 0.5f}));
    EXPECT_EQ((PVector3{-2, 0, 0}), box.min);
    EXPECT_EQ((PVector3{1, 3, 1}), box.max);
    ExpectNear({-0.5f, 1.5f, 0.5f}, box.centre);

    CPBoundingBox lazy = Box({0, 0, 0}, {1, 1, 1});
    lazy.MergeNoRecompute(Box({-2, 0, 0}, {1, 1, 1}));
    EXPECT_EQ(-2.0f, lazy.min.x);
    ExpectNear({0.5f, 0.5f, 0.5f}, lazy.centre);  // not recomputed
}

TEST(BoundingBoxTest, AddShadowIncludesTheShadowOnTheGround)
{
    // A light along (1, 0, −1) casts the box's shadow onto z = 0, shifted in +x by each corner's height.
    const PMatrix shadow = MatrixShadow({-1, 0, 1, 0}, {0, 0, 1, 0});
    CPBoundingBox box = Box({0, 0, 2}, {1, 1, 3});
    box.AddShadow(shadow);
    ExpectNear({0, 0, 0}, box.min);
    ExpectNear({4, 1, 3}, box.max);
    ExpectNear({0.5f, 0.5f, 2.5f}, box.centre);  // the caller recomputes
}

struct BoxSegmentCase {
    const char* name;
    PVector3 origin;
    PVector3 direction;
    float length;
    bool meets;
};

void PrintTo(const BoxSegmentCase& c, std::ostream* out) { *out << c.name; }

class BoundingBoxSegmentTest : public ::testing::TestWithParam<BoxSegmentCase> {};

TEST_P(BoundingBoxSegmentTest, SeparatingAxes)
{
    const BoxSegmentCase& c = GetParam();
    const CPBoundingBox box = Box({-1, -1, -1}, {1, 1, 1});
    EXPECT_EQ(c.meets, box.IntersectsSegment(c.origin, Vec3Normalize(c.direction), c.length));
}

INSTANTIATE_TEST_SUITE_P(
    Cases, BoundingBoxSegmentTest,
    ::testing::Values(BoxSegmentCase{"Through", {-5, 0, 0}, {1, 0, 0}, 10, true},
                      BoxSegmentCase{"StopsShort", {-5, 0, 0}, {1, 0, 0}, 3.9f, false},
                      BoxSegmentCase{"EndsOnTheFace", {-5, 0, 0}, {1, 0, 0}, 4, true},
                      BoxSegmentCase{"InsideEntirely", {-0.5f, 0, 0}, {1, 0, 0}, 0.5f, true},
                      BoxSegmentCase{"StartsInside", {0, 0, 0}, {0, 1, 0}, 10, true},
                      BoxSegmentCase{"PointsAway", {-5, 0, 0}, {-1, 0, 0}, 10, false},
                      BoxSegmentCase{"Beside", {-5, 1.5f, 0}, {1, 0, 0}, 10, false},
                      BoxSegmentCase{"TouchesTheSlab", {-5, 1, 0}, {1, 0, 0}, 10, true},
                      // Diagonal in the xy plane passing the corner (1, 1) at a distance: only the
                      // cross axis separates it.
                      BoxSegmentCase{"DiagonalPastTheCorner", {0, 3, 0}, {1, -1, 0}, 6, false},
                      BoxSegmentCase{"DiagonalAcrossTheCorner", {0, 1.5f, 0}, {1, -1, 0}, 6, true},
                      BoxSegmentCase{"SlantedThrough", {-3, -2, -4}, {1, 0.7f, 1.5f}, 10, true}),
    [](const auto& info) { return std::string(info.param.name); });

struct SphereCase {
    const char* name;
    PVector3 point;
    float radius;
    bool meets;
};

void PrintTo(const SphereCase& c, std::ostream* out) { *out << c.name; }

class BoundingBoxSphereTest : public ::testing::TestWithParam<SphereCase> {};

TEST_P(BoundingBoxSphereTest, DistanceToTheBox)
{
    const SphereCase& c = GetParam();
    const CPBoundingBox box = Box({0, 0, 0}, {2, 4, 6});
    EXPECT_EQ(c.meets, box.IntersectsSphere(c.point, c.radius));
}

INSTANTIATE_TEST_SUITE_P(Cases, BoundingBoxSphereTest,
                         ::testing::Values(SphereCase{"CentreInside", {1, 1, 1}, 0, true},
                                           SphereCase{"OnTheSurfaceRadiusZero", {2, 1, 3}, 0, true},
                                           SphereCase{"OffAFace", {3, 2, 3}, 1, true},
                                           SphereCase{"JustOffAFace", {3.01f, 2, 3}, 1, false},
                                           // The corner (2, 4, 6) lies √3 from (3, 5, 7).
                                           SphereCase{"NearACorner", {3, 5, 7}, 1.74f, true},
                                           SphereCase{"ShortOfACorner", {3, 5, 7}, 1.73f, false},
                                           SphereCase{"BelowTheMinimum", {-1, -1, -1}, 1.8f, true}),
                         [](const auto& info) { return std::string(info.param.name); });
