#include <gtest/gtest.h>

#include <cmath>
#include <numbers>

#include "core/GeometryHelpers.h"

namespace {

TEST(GeometryHelpers, ClampedInverseTrigonometry)
{
    EXPECT_EQ(ClampedAcos(1.0000001f), 0.0f);
    EXPECT_FLOAT_EQ(ClampedAcos(-1.5f), std::numbers::pi_v<float>);
    EXPECT_FLOAT_EQ(ClampedAcos(0.0f), std::numbers::pi_v<float> / 2);
    EXPECT_FLOAT_EQ(ClampedAsin(2.0f), std::numbers::pi_v<float> / 2);
    EXPECT_FLOAT_EQ(ClampedAsin(-2.0f), -std::numbers::pi_v<float> / 2);
    EXPECT_FALSE(std::isnan(ClampedAcos(1.0000001f)));
    EXPECT_EQ(FAbs(-2.5f), 2.5f);
}

TEST(GeometryHelpers, RayPlaneDistance)
{
    const PPlane ground{0.0f, 0.0f, 1.0f, 0.0f};  // z = 0, front side up
    EXPECT_FLOAT_EQ(RayPlaneDistance({0, 0, 10}, {0, 0, -1}, ground), 10.0f);
    EXPECT_FLOAT_EQ(RayPlaneDistance({3, 4, 10}, {0, 0, -2}, ground), 5.0f) << "in units of the direction";
    EXPECT_EQ(RayPlaneDistance({0, 0, 10}, {0, 0, 1}, ground), -1.0f) << "along the normal";
    EXPECT_EQ(RayPlaneDistance({0, 0, 10}, {1, 0, 0}, ground), -1.0f) << "parallel";
    EXPECT_FLOAT_EQ(RayPlaneDistance({0, 0, -4}, {0, 0, -1}, ground), -4.0f) << "behind the origin";
    const PPlane shifted{0.0f, 0.0f, 1.0f, -2.0f};  // z = 2
    EXPECT_FLOAT_EQ(RayPlaneDistance({0, 0, 10}, {0, 0, -1}, shifted), 8.0f);
}

TEST(GeometryHelpers, PointInTriangleOnEachProjection)
{
    struct Case {
        PVector3 point, a, b, c;
        bool inside;
    } cases[] = {
        {{0.2f, 0.2f, 5}, {0, 0, 0}, {1, 0, 0}, {0, 1, 0}, true},     // in the xy plane
        {{0.8f, 0.8f, 0}, {0, 0, 0}, {1, 0, 0}, {0, 1, 0}, false},
        {{-0.1f, 0.2f, 0}, {0, 0, 0}, {1, 0, 0}, {0, 1, 0}, false},
        {{0.2f, 7, 0.2f}, {0, 0, 0}, {1, 0, 0}, {0, 0, 1}, true},     // in the xz plane
        {{0.9f, 7, 0.9f}, {0, 0, 0}, {1, 0, 0}, {0, 0, 1}, false},
        {{3, 0.3f, 0.3f}, {0, 0, 0}, {0, 1, 0}, {0, 0, 1}, true},     // in the yz plane
        {{3, 0.3f, -0.3f}, {0, 0, 0}, {0, 1, 0}, {0, 0, 1}, false},
        {{0.5f, 0.25f, 0}, {0, 0, 0}, {2, 0, 0}, {1, 2, 0}, true},
        {{1.9f, 1.5f, 0}, {0, 0, 0}, {2, 0, 0}, {1, 2, 0}, false},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(PointInTriangle(c.point, c.a, c.b, c.c), c.inside)
            << c.point.x << ", " << c.point.y << ", " << c.point.z;
    }
}

}  // namespace
