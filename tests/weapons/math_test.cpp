// Turns between vectors, including the parallel and opposite ones that have no cross product.
#include <gtest/gtest.h>

#include <cmath>

#include "weapons/WeaponMath.h"

namespace {

TEST(WeaponMathTest, TurnsCarryOneVectorOntoAnotherAndStayUnitForDegenerateOnes) {
    const struct {
        PVector3 from;
        PVector3 to;
        PVector3 turned;  // from, turned
    } kCases[] = {
        {{0, -1, 0}, {1, 0, 0}, {1, 0, 0}},    // a quarter turn
        {{0, -1, 0}, {0, -1, 0}, {0, -1, 0}},  // parallel: identity
        {{0, -1, 0}, {0, 1, 0}, {0, 1, 0}},    // opposite: a half turn
        {{0, -1, 0}, {0, 0, 0}, {0, -1, 0}},   // zero: identity
        {{0, 0, 1}, {0, 0, 1}, {0, 0, 1}},
        {{0, 0, 1}, {0, 0, -1}, {0, 0, -1}},
    };
    for (const auto& turn : kCases) {
        const PQuaternion q = TurnOnto(turn.from, turn.to);
        EXPECT_NEAR(QuaternionLengthSq(q), 1.0f, 1e-5f);
        const PVector3 turned = Rotate(turn.from, q);
        EXPECT_NEAR(turned.x, turn.turned.x, 1e-5f);
        EXPECT_NEAR(turned.y, turn.turned.y, 1e-5f);
        EXPECT_NEAR(turned.z, turn.turned.z, 1e-5f);
    }
}

TEST(WeaponMathTest, HomingTurnsAtMostItsRateAndNeverGoesNaN) {
    const PVector3 ahead{1, 0, 0};
    const PVector3 turned = TurnToward(ahead, {0, 1, 0}, 0.1f);
    EXPECT_NEAR(std::atan2(turned.y, turned.x), 0.1f, 1e-5f);
    const PVector3 same = TurnToward(ahead, ahead, 0.1f);
    EXPECT_EQ(same, ahead);
    const PVector3 behind = TurnToward(ahead, {-1, 0, 0}, 0.1f);
    EXPECT_NEAR(Vec3Length(behind), 1.0f, 1e-5f);
    EXPECT_NEAR(Vec3Dot(behind, ahead), std::cos(0.1f), 1e-5f);
}

}  // namespace
