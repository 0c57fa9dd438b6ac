// The chase camera: where the eye sits for a heading, distance and followed point, how the
// heading turns toward the car's, and how it is kept a proper angle whatever is written into it.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "Render/PPerspectiveCamera.h"
#include "core/PGlobalTimer.h"
#include "game/PCamera.h"

namespace {

constexpr float kInf = std::numeric_limits<float>::infinity();
constexpr float kNaN = std::numeric_limits<float>::quiet_NaN();

class ChaseCameraTest : public ::testing::Test {
protected:
    void SetUp() override {
        m_camera = new CPCamera;
        m_camera->distance = 40.0f;
        g_frameDelta = 0.02f;
    }
    void TearDown() override {
        g_frameDelta = 0.0f;
        CameraZoom = -1.0f;
        m_camera = nullptr;
        CollectGarbage();
    }

    void ExpectNear(const PVector3& actual, const PVector3& expected) {
        EXPECT_NEAR(actual.x, expected.x, 1e-4f);
        EXPECT_NEAR(actual.y, expected.y, 1e-4f);
        EXPECT_NEAR(actual.z, expected.z, 1e-4f);
    }
    const CPPerspectiveCamera& Render() const { return *m_camera->renderCamera; }

    TPtr<CPCamera> m_camera;
};

TEST_F(ChaseCameraTest, ItStartsAsAChaseCameraOfSixtyDegrees) {
    CPCamera camera;
    EXPECT_EQ(camera.GetClassName(), "CPCamera");
    EXPECT_EQ(camera.distance, 0.0f);
    EXPECT_EQ(camera.heading, -1.5707964f);
    EXPECT_TRUE(camera.changed);
    EXPECT_EQ(camera.GetRenderCamera()->GetFieldOfView(), 1.0471976f);
    EXPECT_EQ(camera.GetRenderCamera()->GetNearClip(), 1.0f);
    EXPECT_EQ(camera.GetRenderCamera()->GetFarClip(), 500.0f);
}

// The eye lies at the followed point (x + offsetX, y, z) + distance (-0.6427876 c, -0.6427876 s,
// 0.7660444) with c, s of the heading: behind the point, looking along the heading. Straight
// above it while the zoom is above 0, the heading up on the screen.
TEST_F(ChaseCameraTest, TheEyeFollowsThePointAlongTheHeadingTiltedOrFromAbove) {
    struct Case {
        float heading;
        float offsetX;
        float zoom;
        PVector3 eye;
        PVector3 up;
    };
    const Case cases[] = {
        {0.0f, 0.0f, -1.0f, {-15.7115f, 20.0f, 30.7418f}, {0.7660444f, 0.0f, 0.6427876f}},
        {0.0f, 0.3f, -1.0f, {-15.4115f, 20.0f, 30.7418f}, {0.7660444f, 0.0f, 0.6427876f}},
        {1.5707964f, 0.0f, -1.0f, {10.0f, -5.7115f, 30.7418f}, {0.0f, 0.7660444f, 0.6427876f}},
        {0.0f, 0.0f, 2.0f, {10.0f, 20.0f, 40.1f}, {1.0f, 0.0f, 0.0f}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.heading + c.offsetX + c.zoom);
        CameraZoom = c.zoom;
        m_camera->position = {10.0f, 20.0f, 0.1f};
        m_camera->offsetX = c.offsetX;
        m_camera->targetHeading = c.heading;
        ASSERT_TRUE(m_camera->SetHeading(c.heading));
        m_camera->Update();
        ExpectNear(Render().GetEye(), c.eye);
        ExpectNear(Render().GetUp(), c.up);
        ExpectNear(Render().GetTarget(), {10.0f + c.offsetX, 20.0f, 0.1f});
    }
}

TEST_F(ChaseCameraTest, EveryUpdateBringsTheHeadingIntoOneTurnAndNonFiniteHeadingsAreRefused) {
    struct Case {
        float written;
        float read;
    };
    const Case cases[] = {{7.0f, 0.7168145f}, {-1.0f, 5.2831855f}, {1.0f, 1.0f}, {-12.0f, 0.566371f}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.written);
        m_camera->targetHeading = c.written;
        ASSERT_TRUE(m_camera->SetHeading(c.written));
        m_camera->Update();
        EXPECT_NEAR(m_camera->heading, c.read, 1e-5f);
    }
    for (float huge : {1e9f, -1e9f, 3e38f}) {
        m_camera->targetHeading = huge;
        ASSERT_TRUE(m_camera->SetHeading(huge));
        m_camera->Update();
        EXPECT_GE(m_camera->heading, 0.0f) << huge;
        EXPECT_LT(m_camera->heading, 6.2831855f) << huge;
    }
    m_camera->SetHeading(1.0f);
    for (float bad : {kInf, -kInf, kNaN}) {
        EXPECT_FALSE(m_camera->SetHeading(bad));
        EXPECT_EQ(m_camera->heading, 1.0f);
    }
}

// Each update turns the heading by five times what is left per second of the frame (at most a
// tenth of a second), the short way round, across the full turn when that is shorter.
TEST_F(ChaseCameraTest, TheHeadingTurnsTowardTheTargetTheShortWayRound) {
    struct Case {
        float heading;
        float target;
        float frameDelta;
        float after;
    };
    const Case cases[] = {
        {1.0f, 2.0f, 0.02f, 1.1f},
        {1.0f, 2.0f, 0.5f, 1.5f},
        {2.0f, 1.0f, 0.02f, 1.9f},
        {0.1f, 6.0831855f, 0.02f, 0.07f},
        {6.1831855f, 0.2f, 0.1f, 0.05f},
        {3.0f, 3.0f, 0.02f, 3.0f},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.heading * 100.0f + c.target);
        g_frameDelta = c.frameDelta;
        m_camera->SetHeading(c.heading);
        m_camera->targetHeading = c.target;
        m_camera->Update();
        EXPECT_NEAR(m_camera->heading, c.after, 1e-5f);
    }
}

// Held at a target, the heading comes within a degree of it in a second of frames, whatever the
// frame length, and never passes it.
TEST_F(ChaseCameraTest, AfterATurnTheViewSettlesBehindTheCar) {
    for (float frameDelta : {0.01f, 0.05f, 0.1f}) {
        SCOPED_TRACE(frameDelta);
        g_frameDelta = frameDelta;
        m_camera->SetHeading(0.5f);
        m_camera->targetHeading = 2.0f;
        float before = m_camera->heading;
        for (float t = 0.0f; t < 1.0f; t += frameDelta) {
            m_camera->Update();
            EXPECT_GE(m_camera->heading, before);
            EXPECT_LE(m_camera->heading, 2.0f);
            before = m_camera->heading;
        }
        EXPECT_NEAR(m_camera->heading, 2.0f, 0.0175f);
        const PVector3 look = Render().GetTarget() - Render().GetEye();
        EXPECT_NEAR(std::atan2(look.y, look.x), 2.0f, 0.0175f) << "the view looks along the heading";
    }
}

TEST(WrapAngleTest, AnglesComeIntoOneTurnAndNonFiniteOnesBecomeZero) {
    EXPECT_EQ(WrapAngle(0.0f), 0.0f);
    EXPECT_EQ(WrapAngle(-1e-9f), 0.0f) << "a tiny negative angle must not round up to a full turn";
    EXPECT_NEAR(WrapAngle(6.2831855f * 3.0f + 0.5f), 0.5f, 1e-5f);
    EXPECT_EQ(WrapAngle(kNaN), 0.0f);
    EXPECT_EQ(WrapAngle(-kInf), 0.0f);
}

}  // namespace
