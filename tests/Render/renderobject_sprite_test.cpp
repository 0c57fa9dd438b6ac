#include <cmath>
#include <ostream>

#include <gtest/gtest.h>

#include "Render/PGameObject.h"
#include "Render/PPerspectiveCamera.h"
#include "Render/PSprite.h"
#include "Render/PVertex.h"
#include "Render/ViewCamera.h"
#include "core/PSmartPointer.h"
#include "core/SettingsVariables.h"
#include "math/PMath.h"

namespace {

constexpr float kEps = 1e-4f;

void ExpectNear(const PVector3& expected, const PVector3& actual, const char* what)
{
    EXPECT_NEAR(expected.x, actual.x, kEps) << what;
    EXPECT_NEAR(expected.y, actual.y, kEps) << what;
    EXPECT_NEAR(expected.z, actual.z, kEps) << what;
}

// Every test starts and ends with no published view camera.
class SpriteTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        SetViewCamera(nullptr);
        g_screenWidth = 640;
        g_screenHeight = 480;
    }
    void TearDown() override
    {
        SetViewCamera(nullptr);
        CollectGarbage();
    }

    // Writes the sprite at base 0 into m_vertices and m_indices.
    void Write(CPSprite& sprite, uint16_t base = 0) { sprite.WriteGeometry(m_vertices, m_indices, base); }

    SPVertex m_vertices[4] = {};
    uint16_t m_indices[6] = {};
};

TEST_F(SpriteTest, DefaultCameraGivesTheQuadInTheWorldXYPlane)
{
    TPtr<CPGameObject> owner(new CPGameObject("spark"));
    owner->UpdateTransform();
    TPtr<CPSprite> sprite(new CPSprite(1.0f));
    sprite->SetOwner(owner.Get());
    Write(*sprite, 7);

    const PVector3 corners[4] = {{-1, -1, 0}, {1, -1, 0}, {1, 1, 0}, {-1, 1, 0}};
    const PVector2 tex[4] = {{0, 0}, {1, 0}, {1, 1}, {0, 1}};
    for (int i = 0; i < 4; ++i) {
        ExpectNear(corners[i], m_vertices[i].position, "corner");
        EXPECT_EQ(m_vertices[i].tex0, tex[i]) << i;
        EXPECT_EQ(m_vertices[i].diffuse, 0xFFFFFFFFu) << i;
        EXPECT_EQ(m_vertices[i].normal, (PVector3{0, 0, 0})) << i;
    }
    const uint16_t expected[6] = {7, 9, 8, 7, 10, 9};
    for (int k = 0; k < 6; ++k) EXPECT_EQ(m_indices[k], expected[k]) << k;
}

TEST_F(SpriteTest, AngleColourAndTextureRectangleShow)
{
    TPtr<CPGameObject> owner(new CPGameObject("spark"));
    owner->SetPosition({5.0f, -2.0f, 3.0f});
    owner->UpdateTransform();
    TPtr<CPSprite> sprite(new CPSprite(2.0f));
    sprite->SetOwner(owner.Get());
    sprite->SetAngle(kPi * 0.5f);
    sprite->SetColour(0x80FF0000u);
    sprite->SetTextureRect(0.25f, 0.5f, 0.5f, 0.75f);
    Write(*sprite);

    // A quarter turn carries x onto y: corner (-2, -2) lands at (2, -2) about the centre.
    const PVector3 corners[4] = {{7, -4, 3}, {7, 0, 3}, {3, 0, 3}, {3, -4, 3}};
    const PVector2 tex[4] = {{0.25f, 0.5f}, {0.5f, 0.5f}, {0.5f, 0.75f}, {0.25f, 0.75f}};
    for (int i = 0; i < 4; ++i) {
        ExpectNear(corners[i], m_vertices[i].position, "corner");
        EXPECT_EQ(m_vertices[i].tex0, tex[i]) << i;
        EXPECT_EQ(m_vertices[i].diffuse, 0x80FF0000u) << i;
    }
}

struct CameraCase {
    const char* name;
    PVector3 eye;
    PVector3 target;
    PVector3 up;
    float angle;
};

void PrintTo(const CameraCase& c, std::ostream* os) { *os << c.name; }

class SpriteFacingTest : public SpriteTest, public ::testing::WithParamInterface<CameraCase> {};

// Seen from the camera, the quad is the square of the sprite's size about the owner, turned by
// the angle, with both triangles wound clockwise (the side Direct3D-style culling keeps),
// however the owner itself is turned.
TEST_P(SpriteFacingTest, CornersFaceTheCamera)
{
    const CameraCase& c = GetParam();
    TPtr<CPPerspectiveCamera> camera(new CPPerspectiveCamera);
    camera->SetEye(c.eye);
    camera->SetTarget(c.target);
    camera->SetUp(c.up);
    camera->SetFieldOfView(1.0471976f);
    camera->SetNearClip(1.0f);
    camera->SetFarClip(500.0f);
    camera->UpdateMatrices();
    SetViewCamera(camera);

    TPtr<CPGameObject> owner(new CPGameObject("flare"));
    const PVector3 centre{4.0f, -3.0f, 2.5f};
    owner->SetPosition(centre);
    owner->SetRotation(QuaternionRotationYawPitchRoll(0.7f, -0.4f, 1.1f));
    owner->UpdateTransform();

    const float size = 1.5f;
    TPtr<CPSprite> sprite(new CPSprite(size));
    sprite->SetOwner(owner.Get());
    sprite->SetAngle(c.angle);
    Write(*sprite);

    const PMatrix& view = camera->GetView();
    const PVector3 viewCentre = Vec3TransformCoord(centre, view);
    const float cs = std::cos(c.angle);
    const float sn = std::sin(c.angle);
    const float xs[4] = {-size, size, size, -size};
    const float ys[4] = {-size, -size, size, size};
    PVector3 seen[4];
    for (int i = 0; i < 4; ++i) {
        seen[i] = Vec3TransformCoord(m_vertices[i].position, view) - viewCentre;
        const PVector3 expected{xs[i] * cs - ys[i] * sn, xs[i] * sn + ys[i] * cs, 0.0f};
        ExpectNear(expected, seen[i], "corner in view space");
    }
    for (int t = 0; t < 2; ++t) {
        const PVector3& a = seen[m_indices[3 * t]];
        const PVector3& b = seen[m_indices[3 * t + 1]];
        const PVector3& d = seen[m_indices[3 * t + 2]];
        const float cross = (b.x - a.x) * (d.y - a.y) - (b.y - a.y) * (d.x - a.x);
        EXPECT_LT(cross, 0.0f) << "triangle " << t << " is wound clockwise on screen";
    }
}

INSTANTIATE_TEST_SUITE_P(Orientations, SpriteFacingTest,
                         ::testing::Values(CameraCase{"FromAboveLookingDown", {4, -3, 40}, {4, -3, 0}, {0, 1, 0}, 0.0f},
                                           CameraCase{"ChaseBehind", {-10, -20, 8}, {4, -3, 2.5f}, {0, 0, 1}, 0.3f},
                                           CameraCase{"LevelFromTheSide", {30, -3, 2.5f}, {0, -3, 2.5f}, {0, 0, 1}, 0.0f},
                                           CameraCase{"TiltedAndRolled", {-5, 12, -7}, {1, 0, 3}, {1, 1, 0}, 2.0f},
                                           CameraCase{"FromBelow", {4, -3, -30}, {4, -3, 0}, {1, 0, 0}, -1.2f}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(SpriteTest, ViewCameraIsNeverLeftDangling)
{
    CPPerspectiveCamera& fallback = GetViewCamera();
    EXPECT_EQ(fallback.GetInverseView(), MatrixIdentity());
    EXPECT_EQ(fallback.GetEye(), (PVector3{0, 0, 0}));

    TPtr<CPPerspectiveCamera> camera(new CPPerspectiveCamera);
    camera->SetEye({0, 0, -10});
    camera->SetTarget({0, 0, 0});
    camera->SetUp({0, 1, 0});
    camera->UpdateMatrices();
    CPPerspectiveCamera* published = camera.Get();
    SetViewCamera(camera);

    // The chase camera that published it goes away: the view camera is still a live camera.
    camera.Reset();
    CollectGarbage();
    EXPECT_EQ(&GetViewCamera(), published);
    EXPECT_EQ(GetViewCamera().GetEye(), (PVector3{0, 0, -10}));

    SetViewCamera(nullptr);
    EXPECT_EQ(&GetViewCamera(), &fallback);
    CollectGarbage();
    EXPECT_EQ(IPMMObject::Find(published), nullptr) << "letting go of the camera frees it";
}

TEST_F(SpriteTest, ASpriteIsAlwaysDynamicAndWithoutOwnerSitsOnTheOrigin)
{
    TPtr<CPSprite> sprite(new CPSprite(3.0f));
    sprite->SetType(CPRenderObjectBase::Static);
    EXPECT_EQ(sprite->GetType(), CPRenderObjectBase::Dynamic);
    EXPECT_EQ(sprite->GetVertexCount(), 4);
    EXPECT_EQ(sprite->GetIndexCount(), 6);
    EXPECT_FLOAT_EQ(sprite->GetSpriteSize(), 3.0f);
    EXPECT_EQ(sprite->GetClassName(), "CPSprite");

    // Without an owner the quad sits on the origin.
    Write(*sprite);
    ExpectNear({3, 3, 0}, m_vertices[2].position, "unowned corner");
}

}  // namespace
