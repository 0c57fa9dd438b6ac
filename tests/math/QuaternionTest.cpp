#include "math/PMath.h"

#include <gtest/gtest.h>

#include "MathExpect.h"

namespace {

struct AxisAngle {
    PVector3 axis;
    float angle;
};

// Rotations that reach every branch of the matrix-to-quaternion conversion: positive trace,
// and half turns whose largest diagonal element is x, y or z.
const AxisAngle kRotations[] = {
    {{0.0f, 0.0f, 1.0f}, 0.0f},
    {{0.0f, 0.0f, 1.0f}, 1.5707964f},
    {{1.0f, 2.0f, 3.0f}, 0.7f},
    {{-2.0f, 0.5f, 1.0f}, 2.5f},
    {{1.0f, 0.0f, 0.0f}, 3.1415927f},
    {{0.0f, 1.0f, 0.0f}, 3.1415927f},
    {{0.0f, 0.0f, 1.0f}, 3.1415927f},
    {{1.0f, 1.0f, 0.0f}, 3.1415927f},
    {{0.2f, -1.0f, 0.1f}, -3.0f},
    {{0.0f, 0.3f, -1.0f}, 3.0f},
};

}  // namespace

TEST(Quaternion, AxisAngleMatchesTheMatrixRotation)
{
    for (const AxisAngle& r : kRotations) {
        const PQuaternion q = QuaternionRotationAxis(r.axis, r.angle);
        EXPECT_NEAR(QuaternionLengthSq(q), 1.0f, 1e-6f);
        EXPECT_TRUE(Near(MatrixRotationQuaternion(q), MatrixRotationAxis(r.axis, r.angle)));
    }
    const PQuaternion quarterZ = QuaternionRotationAxis({0.0f, 0.0f, 2.0f}, Degrees(90.0f));
    EXPECT_TRUE(Near(quarterZ, {0.0f, 0.0f, std::sqrt(0.5f), std::sqrt(0.5f)}));
    EXPECT_TRUE(Near(Vec3TransformNormal({1.0f, 0.0f, 0.0f}, MatrixRotationQuaternion(quarterZ)), {0.0f, 1.0f, 0.0f}));
    EXPECT_EQ(MatrixRotationQuaternion(QuaternionIdentity()), MatrixIdentity());
}

TEST(Quaternion, MatrixRoundTripKeepsTheRotation)
{
    for (const AxisAngle& r : kRotations) {
        const PQuaternion q = QuaternionRotationAxis(r.axis, r.angle);
        const PQuaternion back = QuaternionRotationMatrix(MatrixRotationQuaternion(q));
        EXPECT_TRUE(SameRotation(back, q));
        EXPECT_TRUE(Near(MatrixRotationQuaternion(back), MatrixRotationQuaternion(q)));
    }
    const PMatrix m = MatrixRotationX(-0.4f) * MatrixRotationZ(2.2f);
    EXPECT_TRUE(Near(MatrixRotationQuaternion(QuaternionRotationMatrix(m)), m));
}

TEST(Quaternion, RotationMatrixIgnoresTranslation)
{
    const PQuaternion q = QuaternionRotationAxis({0.0f, 1.0f, 1.0f}, 1.0f);
    const PMatrix placed = MatrixRotationQuaternion(q) * MatrixTranslation(4.0f, 5.0f, 6.0f);
    EXPECT_TRUE(SameRotation(QuaternionRotationMatrix(placed), q));
}

TEST(Quaternion, MultiplyAppliesTheFirstRotationFirst)
{
    const PQuaternion a = QuaternionRotationAxis({1.0f, 0.0f, 0.0f}, Degrees(90.0f));
    const PQuaternion b = QuaternionRotationAxis({0.0f, 0.0f, 1.0f}, Degrees(90.0f));
    // y turns to z about x, then z stays about z.
    EXPECT_TRUE(Near(Vec3TransformNormal({0.0f, 1.0f, 0.0f}, MatrixRotationQuaternion(QuaternionMultiply(a, b))),
                     {0.0f, 0.0f, 1.0f}));
    for (const AxisAngle& r1 : kRotations) {
        for (const AxisAngle& r2 : {kRotations[2], kRotations[3], kRotations[8]}) {
            const PQuaternion q1 = QuaternionRotationAxis(r1.axis, r1.angle);
            const PQuaternion q2 = QuaternionRotationAxis(r2.axis, r2.angle);
            EXPECT_TRUE(Near(MatrixRotationQuaternion(QuaternionMultiply(q1, q2)),
                             MatrixRotationQuaternion(q1) * MatrixRotationQuaternion(q2)));
        }
    }
}

TEST(Quaternion, YawPitchRollMatchesTheMatrix)
{
    const float angles[][3] = {{0.0f, 0.0f, 1.3f}, {0.4f, -0.7f, 1.9f}, {3.0f, 0.2f, -2.5f}, {-1.1f, 1.4f, 0.05f}};
    for (const auto& a : angles) {
        const PQuaternion q = QuaternionRotationYawPitchRoll(a[0], a[1], a[2]);
        EXPECT_TRUE(Near(MatrixRotationQuaternion(q), MatrixRotationYawPitchRoll(a[0], a[1], a[2])));
    }
    // Roll alone is a turn about z.
    EXPECT_TRUE(Near(QuaternionRotationYawPitchRoll(0.0f, 0.0f, 0.6f), QuaternionRotationAxis({0.0f, 0.0f, 1.0f}, 0.6f)));
}

TEST(Quaternion, NormalizeConjugateAndInverse)
{
    const PQuaternion q{1.0f, 2.0f, 2.0f, 4.0f};
    EXPECT_TRUE(Near(QuaternionNormalize(q), {0.2f, 0.4f, 0.4f, 0.8f}));
    EXPECT_EQ(QuaternionConjugate(q), (PQuaternion{-1.0f, -2.0f, -2.0f, 4.0f}));
    EXPECT_TRUE(Near(QuaternionMultiply(q, QuaternionInverse(q)), QuaternionIdentity()));
    EXPECT_TRUE(Near(QuaternionMultiply(QuaternionInverse(q), q), QuaternionIdentity()));

    const PQuaternion unit = QuaternionRotationAxis({1.0f, -1.0f, 2.0f}, 0.9f);
    EXPECT_TRUE(Near(QuaternionInverse(unit), QuaternionConjugate(unit)));

    const PQuaternion zero{0.0f, 0.0f, 0.0f, 0.0f};
    EXPECT_EQ(QuaternionNormalize(zero), zero);
    EXPECT_EQ(QuaternionInverse(zero), zero);
}

TEST(Quaternion, SlerpEndpointsAndMidpoint)
{
    const PQuaternion from = QuaternionIdentity();
    const PQuaternion to = QuaternionRotationAxis({0.0f, 0.0f, 1.0f}, Degrees(90.0f));
    EXPECT_TRUE(Near(QuaternionSlerp(from, to, 0.0f), from));
    EXPECT_TRUE(Near(QuaternionSlerp(from, to, 1.0f), to));
    const PQuaternion half = QuaternionRotationAxis({0.0f, 0.0f, 1.0f}, Degrees(45.0f));
    EXPECT_TRUE(Near(QuaternionSlerp(from, to, 0.5f), half));
    EXPECT_TRUE(Near(QuaternionSlerp(from, to, 0.25f), QuaternionRotationAxis({0.0f, 0.0f, 1.0f}, Degrees(22.5f))));

    // The same end rotation written with the opposite sign takes the same short path.
    const PQuaternion negTo{-to.x, -to.y, -to.z, -to.w};
    EXPECT_TRUE(SameRotation(QuaternionSlerp(from, negTo, 0.5f), half));
    EXPECT_TRUE(SameRotation(QuaternionSlerp(from, negTo, 1.0f), to));

    // Nearly equal rotations interpolate without dividing by a vanishing sine.
    const PQuaternion close = QuaternionRotationAxis({0.0f, 0.0f, 1.0f}, 1e-4f);
    const PQuaternion mid = QuaternionSlerp(from, close, 0.5f);
    EXPECT_TRUE(std::isfinite(mid.w));
    EXPECT_NEAR(QuaternionLengthSq(mid), 1.0f, 1e-5f);
    EXPECT_EQ(QuaternionSlerp(to, to, 0.3f), to);
}
