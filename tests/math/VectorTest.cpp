#include "math/PMath.h"

#include <cstring>

#include <gtest/gtest.h>

#include "MathExpect.h"

TEST(Vector, NormalizeGivesUnitLengthAndKeepsZeroVectorsZero)
{
    EXPECT_TRUE(Near(Vec3Normalize({3.0f, 0.0f, -4.0f}), {0.6f, 0.0f, -0.8f}));
    EXPECT_FLOAT_EQ(Vec3Length(Vec3Normalize({1e-20f, 2e-20f, 0.0f})), 1.0f);

    const PVector3 zero3 = Vec3Normalize({0.0f, 0.0f, 0.0f});
    EXPECT_EQ(zero3, (PVector3{0.0f, 0.0f, 0.0f}));
    EXPECT_EQ(Vec2Normalize({0.0f, 0.0f}), (PVector2{0.0f, 0.0f}));
    EXPECT_EQ(Vec4Normalize({0.0f, 0.0f, 0.0f, 0.0f}), (PVector4{0.0f, 0.0f, 0.0f, 0.0f}));

    const PVector2 v2 = Vec2Normalize({-5.0f, 12.0f});
    EXPECT_FLOAT_EQ(v2.x, -5.0f / 13.0f);
    EXPECT_FLOAT_EQ(v2.y, 12.0f / 13.0f);
    EXPECT_TRUE(Near(Vec4Normalize({0.0f, 2.0f, 0.0f, 2.0f}), {0.0f, 0.70710678f, 0.0f, 0.70710678f}));
}

TEST(Vector, LengthsAndDotProducts)
{
    EXPECT_FLOAT_EQ(Vec3Length({2.0f, 3.0f, 6.0f}), 7.0f);
    EXPECT_FLOAT_EQ(Vec3LengthSq({2.0f, 3.0f, 6.0f}), 49.0f);
    EXPECT_FLOAT_EQ(Vec2Length({3.0f, 4.0f}), 5.0f);
    EXPECT_FLOAT_EQ(Vec4Length({1.0f, 1.0f, 1.0f, 1.0f}), 2.0f);
    EXPECT_FLOAT_EQ(Vec3Dot({1.0f, 2.0f, 3.0f}, {4.0f, -5.0f, 6.0f}), 12.0f);
    EXPECT_FLOAT_EQ(Vec2Dot({1.0f, 2.0f}, {3.0f, 4.0f}), 11.0f);
    EXPECT_FLOAT_EQ(Vec4Dot({1.0f, 2.0f, 3.0f, 4.0f}, {1.0f, 1.0f, 1.0f, -1.0f}), 2.0f);
}

TEST(Vector, CrossFollowsTheAxisCycle)
{
    const PVector3 x{1.0f, 0.0f, 0.0f}, y{0.0f, 1.0f, 0.0f}, z{0.0f, 0.0f, 1.0f};
    EXPECT_EQ(Vec3Cross(x, y), z);
    EXPECT_EQ(Vec3Cross(y, z), x);
    EXPECT_EQ(Vec3Cross(z, x), y);
    EXPECT_EQ(Vec3Cross(y, x), -z);
    EXPECT_EQ(Vec3Cross({1.0f, 2.0f, 3.0f}, {4.0f, 5.0f, 6.0f}), (PVector3{-3.0f, 6.0f, -3.0f}));
}

TEST(Vector, OperatorsWorkPerComponent)
{
    PVector3 a{1.0f, 2.0f, 3.0f};
    const PVector3 b{4.0f, 6.0f, 8.0f};
    EXPECT_EQ(a + b, (PVector3{5.0f, 8.0f, 11.0f}));
    EXPECT_EQ(b - a, (PVector3{3.0f, 4.0f, 5.0f}));
    EXPECT_EQ(a * 2.0f, 2.0f * a);
    EXPECT_EQ(b / 2.0f, (PVector3{2.0f, 3.0f, 4.0f}));
    EXPECT_EQ(-a, (PVector3{-1.0f, -2.0f, -3.0f}));
    EXPECT_NE(a, b);
    a += b;
    a -= PVector3{1.0f, 1.0f, 1.0f};
    a *= 0.5f;
    EXPECT_EQ(a, (PVector3{2.0f, 3.5f, 5.0f}));
    a /= 0.5f;
    EXPECT_EQ(a, (PVector3{4.0f, 7.0f, 10.0f}));

    EXPECT_EQ((PVector2{1.0f, 2.0f} + PVector2{3.0f, 4.0f}) * 2.0f, (PVector2{8.0f, 12.0f}));
    EXPECT_EQ(-(PVector4{1.0f, 2.0f, 3.0f, 4.0f} - PVector4{0.0f, 0.0f, 0.0f, 8.0f}) / 2.0f,
              (PVector4{-0.5f, -1.0f, -1.5f, 2.0f}));
}

TEST(Vector, LerpHitsEndpointsAndExtrapolates)
{
    const PVector3 a{1.0f, 2.0f, 3.0f}, b{3.0f, -2.0f, 7.0f};
    EXPECT_EQ(Vec3Lerp(a, b, 0.0f), a);
    EXPECT_EQ(Vec3Lerp(a, b, 1.0f), b);
    EXPECT_EQ(Vec3Lerp(a, b, 0.5f), (PVector3{2.0f, 0.0f, 5.0f}));
    EXPECT_EQ(Vec3Lerp(a, b, 2.0f), (PVector3{5.0f, -6.0f, 11.0f}));
    EXPECT_EQ(Vec2Lerp({0.0f, 0.0f}, {4.0f, 8.0f}, 0.25f), (PVector2{1.0f, 2.0f}));
    EXPECT_EQ(Vec4Lerp({0.0f, 0.0f, 0.0f, 0.0f}, {4.0f, 8.0f, 12.0f, 16.0f}, 0.75f), (PVector4{3.0f, 6.0f, 9.0f, 12.0f}));
}

TEST(Vector, LayoutsMatchPackedFloats)
{
    // Vertex data and files hold these types as consecutive floats.
    const float raw[4] = {1.0f, 2.0f, 3.0f, 4.0f};
    PVector3 v;
    std::memcpy(&v, raw, sizeof v);
    EXPECT_EQ(v, (PVector3{1.0f, 2.0f, 3.0f}));
    PVector4 v4;
    std::memcpy(&v4, raw, sizeof v4);
    EXPECT_EQ(v4, (PVector4{1.0f, 2.0f, 3.0f, 4.0f}));
    PQuaternion q;
    std::memcpy(&q, raw, sizeof q);
    EXPECT_EQ(q.w, 4.0f);
    PPlane p;
    std::memcpy(&p, raw, sizeof p);
    EXPECT_EQ(p.d, 4.0f);
}
