#include <cmath>
#include <ostream>
#include <string>

#include <gtest/gtest.h>

#include "Render/PBaseCamera.h"
#include "Render/PPerspectiveCamera.h"
#include "core/SettingsVariables.h"
#include "core/PSmartPointer.h"
#include "math/PMath.h"
#include "support/ScreenSize.h"

namespace {

constexpr float kEps = 1e-4f;

void ExpectNear(const PVector3& expected, const PVector3& actual, float eps = kEps)
{
    EXPECT_NEAR(expected.x, actual.x, eps);
    EXPECT_NEAR(expected.y, actual.y, eps);
    EXPECT_NEAR(expected.z, actual.z, eps);
}

void ExpectNear(const PMatrix& expected, const PMatrix& actual)
{
    for (int r = 0; r < 4; ++r) {
        for (int c = 0; c < 4; ++c) {
            EXPECT_NEAR(expected.m[r][c], actual.m[r][c], kEps) << "[" << r << "][" << c << "]";
        }
    }
}

// Keeps the program-wide screen size and zoom as the test found them.
class CameraTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        CameraZoom = -1.0f;
    }
    void TearDown() override
    {
        CameraZoom = m_zoom;
    }

    // A camera at (0, −10, 0) looking at the origin with z up: 90 degrees of view, clip 1 to 100.
    static void Aim(CPPerspectiveCamera& camera)
    {
        camera.SetEye({0, -10, 0});
        camera.SetTarget({0, 0, 0});
        camera.SetUp({0, 0, 1});
        camera.SetFieldOfView(kHalfPi);
        camera.SetNearClip(1);
        camera.SetFarClip(100);
        camera.UpdateMatrices();
    }

private:
    testsupport::ScreenSize m_screenSize{640, 480};
    float m_zoom = CameraZoom;
};

}  // namespace

TEST_F(CameraTest, BaseCameraHoldsTheMatricesItIsGiven)
{
    TPtr<CPBaseCamera> camera(new CPBaseCamera);
    EXPECT_EQ(MatrixIdentity(), camera->GetView());
    EXPECT_EQ(MatrixIdentity(), camera->GetProjection());
    EXPECT_EQ("CPBaseCamera", camera->GetClassName());
    EXPECT_EQ(int32_t(sizeof(CPBaseCamera)), camera->GetSize());

    // The screen camera: pixels with y down, the top left pixel corner at (−1, 1).
    camera->SetView(MatrixOrthoOffCenterLH(0, 640, 480, 0, 0, 1));
    ExpectNear({-1, 1, 0}, Vec3TransformCoord({0, 0, 0}, camera->GetView()));
    ExpectNear({1, -1, 0}, Vec3TransformCoord({640, 480, 0}, camera->GetView()));
    EXPECT_EQ(MatrixIdentity(), camera->GetProjection());
}

TEST_F(CameraTest, NewPerspectiveCameraHasTheClipSpaceFrustum)
{
    TPtr<CPPerspectiveCamera> camera(new CPPerspectiveCamera);
    EXPECT_EQ("CPPerspectiveCamera", camera->GetClassName());
    EXPECT_EQ(int32_t(sizeof(CPPerspectiveCamera)), camera->GetSize());

    // With identity matrices the frustum is the clip-space box, normals pointing inward.
    const struct {
        CPPerspectiveCamera::Plane plane;
        PVector3 normal;
        float offset;  // the plane is normal · p = offset
    } expected[] = {
        {CPPerspectiveCamera::Near, {0, 0, 1}, 0},   {CPPerspectiveCamera::Far, {0, 0, -1}, -1},
        {CPPerspectiveCamera::Left, {1, 0, 0}, -1},  {CPPerspectiveCamera::Right, {-1, 0, 0}, -1},
        {CPPerspectiveCamera::Top, {0, -1, 0}, -1},  {CPPerspectiveCamera::Bottom, {0, 1, 0}, -1},
    };
    for (const auto& e : expected) {
        SCOPED_TRACE(e.plane);
        const PPlane plane = PlaneNormalize(camera->GetPlane(e.plane));
        ExpectNear(e.normal, PlaneNormal(plane));
        EXPECT_NEAR(-e.offset, plane.d, kEps);
        EXPECT_GT(PlaneDotCoord(camera->GetPlane(e.plane), {0, 0, 0.5f}), 0.0f);
    }
}

struct BoxCase {
    const char* name;
    PVector3 min;
    PVector3 max;
    bool visible;
};

void PrintTo(const BoxCase& c, std::ostream* out) { *out << c.name; }

class ClipBoxTest : public ::testing::TestWithParam<BoxCase> {};

// Against the clip-space frustum of a new camera: x, y in −1..1, z in 0..1.
TEST_P(ClipBoxTest, TestBox)
{
    const BoxCase& c = GetParam();
    TPtr<CPPerspectiveCamera> camera(new CPPerspectiveCamera);
    EXPECT_EQ(c.visible, camera->TestBox(c.min, c.max));
}

INSTANTIATE_TEST_SUITE_P(
    Cases, ClipBoxTest,
    ::testing::Values(BoxCase{"Inside", {-0.5f, -0.5f, 0.2f}, {0.5f, 0.5f, 0.8f}, true},
                      BoxCase{"StraddlesEveryPlane", {-5, -5, -5}, {5, 5, 5}, true},
                      BoxCase{"TouchesNearFromOutside", {-0.5f, -0.5f, -1}, {0.5f, 0.5f, 0}, false},
                      BoxCase{"CrossesNear", {-0.5f, -0.5f, -1}, {0.5f, 0.5f, 0.01f}, true},
                      BoxCase{"TouchesFarFromOutside", {-0.5f, -0.5f, 1}, {0.5f, 0.5f, 2}, false},
                      BoxCase{"TouchesLeftFromOutside", {-3, -0.5f, 0.2f}, {-1, 0.5f, 0.8f}, false},
                      BoxCase{"TouchesRightFromOutside", {1, -0.5f, 0.2f}, {3, 0.5f, 0.8f}, false},
                      BoxCase{"TouchesTopFromOutside", {-0.5f, 1, 0.2f}, {0.5f, 3, 0.8f}, false},
                      BoxCase{"TouchesBottomFromOutside", {-0.5f, -3, 0.2f}, {0.5f, -1, 0.8f}, false},
                      BoxCase{"OutsideRightAndTop", {2, 2, 0.2f}, {3, 3, 0.8f}, false},
                      BoxCase{"PokesInAtACorner", {0.9f, 0.9f, 0.9f}, {3, 3, 3}, true}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(CameraTest, ViewLooksFromTheEyeAtTheTarget)
{
    TPtr<CPPerspectiveCamera> camera(new CPPerspectiveCamera);
    Aim(*camera);
    EXPECT_EQ(MatrixLookAtLH({0, -10, 0}, {0, 0, 0}, {0, 0, 1}), camera->GetView());
    // The inverse view is the camera's world transform: its origin is the eye.
    ExpectNear({0, -10, 0}, Vec3TransformCoord({0, 0, 0}, camera->GetInverseView()));
    ExpectNear(MatrixIdentity(), camera->GetView() * camera->GetInverseView());
    ExpectNear(camera->GetView() * camera->GetProjection(), camera->GetViewProjection());
    ExpectNear(MatrixIdentity(), camera->GetViewProjection() * camera->GetInverseViewProjection());
}

TEST_F(CameraTest, WorldFrustumPlanesBoundTheView)
{
    TPtr<CPPerspectiveCamera> camera(new CPPerspectiveCamera);
    Aim(*camera);
    // The near plane is y = −9 and the far plane y = 90, both facing inward.
    const PPlane nearPlane = PlaneNormalize(camera->GetPlane(CPPerspectiveCamera::Near));
    const PPlane farPlane = PlaneNormalize(camera->GetPlane(CPPerspectiveCamera::Far));
    ExpectNear({0, 1, 0}, PlaneNormal(nearPlane));
    EXPECT_NEAR(0, PlaneDotCoord(nearPlane, {3, -9, 2}), 1e-3f);
    ExpectNear({0, -1, 0}, PlaneNormal(farPlane));
    EXPECT_NEAR(0, PlaneDotCoord(farPlane, {-5, 90, 1}), 1e-2f);
    // 90 degrees of vertical view: the top and bottom planes rise and fall at 45 degrees.
    ExpectNear(Vec3Normalize({0, 1, -1}), Vec3Normalize(PlaneNormal(camera->GetPlane(CPPerspectiveCamera::Top))));
    ExpectNear(Vec3Normalize({0, 1, 1}), Vec3Normalize(PlaneNormal(camera->GetPlane(CPPerspectiveCamera::Bottom))));
    for (int i = 0; i < CPPerspectiveCamera::PlaneCount; ++i) {
        EXPECT_GT(PlaneDotCoord(camera->GetPlane(CPPerspectiveCamera::Plane(i)), {0, 0, 0}), 0.0f) << i;
    }
}

TEST_F(CameraTest, CullsWorldBoxes)
{
    TPtr<CPPerspectiveCamera> camera(new CPPerspectiveCamera);
    Aim(*camera);
    EXPECT_TRUE(camera->TestBox({-1, -1, -1}, {1, 1, 1}));
    EXPECT_FALSE(camera->TestBox({-1, -20, -1}, {1, -12, 1}));  // behind the eye
    EXPECT_FALSE(camera->TestBox({-1, 95, -1}, {1, 99, 1}));    // beyond the far plane
    // 12 to 14 from the eye the view reaches 16 to 18.7 units to either side.
    EXPECT_FALSE(camera->TestBox({-30, 2, -1}, {-20, 4, 1}));  // left of the view
    EXPECT_TRUE(camera->TestBox({-30, 2, -1}, {-18, 4, 1}));   // reaching into it
    EXPECT_FALSE(camera->TestBox({-1, 0, 11}, {1, 0.5f, 12}));  // above it
}

TEST_F(CameraTest, AspectIsTheScreenSizeReadAtEachRebuild)
{
    TPtr<CPPerspectiveCamera> camera(new CPPerspectiveCamera);
    Aim(*camera);
    ExpectNear(MatrixPerspectiveFovLH(kHalfPi, 4.0f / 3.0f, 1, 100), camera->GetProjection());

    g_screenWidth = 1280;
    g_screenHeight = 720;
    camera->UpdateMatrices();  // nothing dirty: the old aspect stays
    ExpectNear(MatrixPerspectiveFovLH(kHalfPi, 4.0f / 3.0f, 1, 100), camera->GetProjection());

    camera->SetFarClip(100);
    camera->UpdateMatrices();
    ExpectNear(MatrixPerspectiveFovLH(kHalfPi, 16.0f / 9.0f, 1, 100), camera->GetProjection());
}

TEST_F(CameraTest, ZoomAboveZeroProjectsOrthographically)
{
    const float zooms[] = {-1.0f, -3.0f, 0.0f};
    for (float zoom : zooms) {
        CameraZoom = zoom;
        TPtr<CPPerspectiveCamera> camera(new CPPerspectiveCamera);
        Aim(*camera);
        ExpectNear(MatrixPerspectiveFovLH(kHalfPi, 4.0f / 3.0f, 1, 100), camera->GetProjection());
    }

    CameraZoom = 4.0f;
    TPtr<CPPerspectiveCamera> camera(new CPPerspectiveCamera);
    Aim(*camera);
    ExpectNear(MatrixOrthoLH(160, 120, 1, 100), camera->GetProjection());
    // The frustum is a box now: 80 units either side of the view axis, whatever the distance.
    EXPECT_TRUE(camera->TestBox({79, 50, -1}, {81, 51, 1}));
    EXPECT_FALSE(camera->TestBox({81, 50, -1}, {83, 51, 1}));
}

TEST_F(CameraTest, UpdateWithNothingDirtyKeepsEverything)
{
    TPtr<CPPerspectiveCamera> camera(new CPPerspectiveCamera);
    Aim(*camera);
    const PMatrix view = camera->GetView();
    const PMatrix viewProjection = camera->GetViewProjection();
    const PMatrix inverse = camera->GetInverseViewProjection();
    PPlane planes[CPPerspectiveCamera::PlaneCount];
    for (int i = 0; i < CPPerspectiveCamera::PlaneCount; ++i) planes[i] = camera->GetPlane(CPPerspectiveCamera::Plane(i));

    CameraZoom = 2.0f;
    g_screenWidth = 100;
    camera->UpdateMatrices();
    EXPECT_EQ(view, camera->GetView());
    EXPECT_EQ(viewProjection, camera->GetViewProjection());
    EXPECT_EQ(inverse, camera->GetInverseViewProjection());
    for (int i = 0; i < CPPerspectiveCamera::PlaneCount; ++i) {
        EXPECT_EQ(planes[i], camera->GetPlane(CPPerspectiveCamera::Plane(i))) << i;
    }
}

TEST_F(CameraTest, MovingTheEyeRebuildsOnlyTheView)
{
    TPtr<CPPerspectiveCamera> camera(new CPPerspectiveCamera);
    Aim(*camera);
    const PMatrix projection = camera->GetProjection();
    g_screenWidth = 100;  // would change the projection if it were rebuilt

    camera->SetEye({0, 10, 0});
    camera->UpdateMatrices();
    EXPECT_EQ(projection, camera->GetProjection());
    ExpectNear({0, 10, 0}, Vec3TransformCoord({0, 0, 0}, camera->GetInverseView()));
    // Turned round: what was behind is now in view and the other way round.
    EXPECT_TRUE(camera->TestBox({-1, -6, -1}, {1, -4, 1}));
    EXPECT_FALSE(camera->TestBox({-1, 12, -1}, {1, 14, 1}));
}
