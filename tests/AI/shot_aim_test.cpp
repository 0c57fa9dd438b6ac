// Where enemy shots go: the aim rotation and the scatter around it, also for the aims that have
// no turning axis (straight along or against (0, 1, 0), and a zero aim).
#include <gtest/gtest.h>

#include <cmath>

#include "AI/ShotAim.h"
#include "core/GeometryHelpers.h"
#include "platform/Random.h"

namespace {

TEST(ShotAimTest, ScatteredShotsStayWithinTheSpreadOfEveryAim)
{
    struct Case {
        const char* what;
        PVector3 aim;
        PVector3 expectedCentre;  // the direction the shots scatter around
    };
    const Case cases[] = {
        {"along the reference", {0, 1, 0}, {0, 1, 0}},
        {"straight back", {0, -1, 0}, {0, -1, 0}},
        {"a zero aim keeps the reference", {0, 0, 0}, {0, 1, 0}},
        {"sideways", {1, 0, 0}, {1, 0, 0}},
        {"up and ahead", {0, 0.6f, 0.8f}, {0, 0.6f, 0.8f}},
    };
    const float spread = 0.1f;
    platform::Srand(3);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const PMatrix toAim = RotationToAim(c.aim);
        const PVector3 centre = Vec3TransformCoord({0.0f, 1.0f, 0.0f}, toAim);
        EXPECT_NEAR(Vec3Length(centre - c.expectedCentre), 0.0f, 1e-5f);
        float widest = 0.0f;
        for (int shot = 0; shot < 200; ++shot) {
            const PVector3 direction = SpreadDirection(toAim, spread);
            ASSERT_TRUE(std::isfinite(direction.x) && std::isfinite(direction.y) && std::isfinite(direction.z));
            EXPECT_NEAR(Vec3Length(direction), 1.0f, 1e-5f);
            const float angle = ClampedAcos(Vec3Dot(direction, c.expectedCentre));
            EXPECT_LE(angle, spread + 1e-3f);
            widest = std::fmax(widest, angle);
        }
        EXPECT_GT(widest, 0.5f * spread) << "the shots do scatter";
    }
}

}  // namespace
