#include "math/PMath.h"

#include <gtest/gtest.h>

#include "MathExpect.h"

TEST(Plane, FromPointsNormalFacesTheViewerOfAClockwiseTriangle)
{
    // Seen from z = -10 looking along +z (x right, y up), origin -> up -> right is clockwise:
    // normal = normalise((p2 - p1) × (p3 - p1)) points back at the viewer.
    const PPlane clockwise = PlaneFromPoints({0.0f, 0.0f, 0.0f}, {0.0f, 1.0f, 0.0f}, {1.0f, 0.0f, 0.0f});
    EXPECT_EQ(clockwise, (PPlane{0.0f, 0.0f, -1.0f, 0.0f}));
    EXPECT_GT(PlaneDotCoord(clockwise, {0.0f, 0.0f, -10.0f}), 0.0f);

    const PPlane counter = PlaneFromPoints({0.0f, 0.0f, 0.0f}, {1.0f, 0.0f, 0.0f}, {0.0f, 1.0f, 0.0f});
    EXPECT_EQ(counter, (PPlane{0.0f, 0.0f, 1.0f, 0.0f}));

    // Off the origin and not axis-aligned: normalised, and every point lies on it.
    const PVector3 p1{1.0f, 0.0f, 0.0f}, p2{0.0f, 2.0f, 0.0f}, p3{0.0f, 0.0f, 3.0f};
    const PPlane slanted = PlaneFromPoints(p1, p2, p3);
    EXPECT_NEAR(Vec3Length(PlaneNormal(slanted)), 1.0f, 1e-6f);
    for (const PVector3& p : {p1, p2, p3}) {
        EXPECT_NEAR(PlaneDotCoord(slanted, p), 0.0f, 1e-6f);
    }
    EXPECT_GT(PlaneDotCoord(slanted, {1.0f, 1.0f, 1.0f}), 0.0f);

    // Collinear points give no direction rather than NaNs.
    const PPlane line = PlaneFromPoints({0.0f, 0.0f, 0.0f}, {1.0f, 1.0f, 1.0f}, {2.0f, 2.0f, 2.0f});
    EXPECT_EQ(line, (PPlane{0.0f, 0.0f, 0.0f, 0.0f}));
}

TEST(Plane, PointNormalAndDotProducts)
{
    const PPlane p = PlaneFromPointNormal({0.0f, 0.0f, 2.0f}, {0.0f, 0.0f, 2.0f});
    EXPECT_EQ(p, (PPlane{0.0f, 0.0f, 2.0f, -4.0f}));
    EXPECT_FLOAT_EQ(PlaneDotCoord(p, {5.0f, 5.0f, 3.0f}), 2.0f);
    EXPECT_FLOAT_EQ(PlaneDotNormal(p, {5.0f, 5.0f, 3.0f}), 6.0f);
    EXPECT_FLOAT_EQ(PlaneDot(p, {5.0f, 5.0f, 3.0f, 0.5f}), 4.0f);
}

TEST(Plane, NormalizeScalesTheWholeEquation)
{
    const PPlane p = PlaneNormalize({0.0f, 3.0f, 4.0f, -10.0f});
    EXPECT_FLOAT_EQ(p.b, 0.6f);
    EXPECT_FLOAT_EQ(p.c, 0.8f);
    EXPECT_FLOAT_EQ(p.d, -2.0f);
    // Signed distance after normalising.
    EXPECT_FLOAT_EQ(PlaneDotCoord(p, {0.0f, 6.0f, 8.0f}), 8.0f);

    const PPlane degenerate{0.0f, 0.0f, 0.0f, 1.0f};
    EXPECT_EQ(PlaneNormalize(degenerate), degenerate);
}

TEST(Plane, IntersectLineFindsTheCrossingOfTheWholeLine)
{
    const PPlane ground{0.0f, 0.0f, 1.0f, -1.0f};  // z = 1
    const auto hit = PlaneIntersectLine(ground, {2.0f, 3.0f, 5.0f}, {2.0f, 5.0f, 3.0f});
    ASSERT_TRUE(hit.has_value());
    EXPECT_TRUE(Near(*hit, {2.0f, 7.0f, 1.0f}));

    const auto between = PlaneIntersectLine(ground, {0.0f, 0.0f, 0.0f}, {0.0f, 0.0f, 4.0f});
    ASSERT_TRUE(between.has_value());
    EXPECT_TRUE(Near(*between, {0.0f, 0.0f, 1.0f}));

    EXPECT_FALSE(PlaneIntersectLine(ground, {0.0f, 0.0f, 3.0f}, {4.0f, 1.0f, 3.0f}).has_value());
    EXPECT_FALSE(PlaneIntersectLine(ground, {1.0f, 1.0f, 1.0f}, {1.0f, 1.0f, 1.0f}).has_value());
}
