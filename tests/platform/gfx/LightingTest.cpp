#include <gtest/gtest.h>

#include <cmath>

#include "GfxFixture.h"
#include "math/PMatrix.h"

namespace gfxtest {
namespace {

Material WhiteMaterial()
{
    return Material{{1, 1, 1, 1}, {1, 1, 1, 1}, {0, 0, 0, 0}, {0, 0, 0, 0}, 0.0f};
}

Light MakeLight(LightType type, PVector3 position, PVector3 direction)
{
    Light light{};
    light.type = type;
    light.diffuse = {1, 1, 1, 1};
    light.position = position;
    light.direction = direction;
    light.range = 100.0f;
    light.attenuation0 = 1.0f;
    light.falloff = 1.0f;
    return light;
}

// A small square at z = 0 facing the viewer (normal -z), filling the screen through an
// orthographic projection, so that the lighting of its centre fills every pixel.
class LitSquareTest : public GfxTest {
protected:
    void SetUp() override
    {
        GfxTest::SetUp();
        if (HasFatalFailure()) return;
        Dev().SetTransform(TransformType::Projection, MatrixOrthoLH(0.02f, 0.02f, -1.0f, 1.0f));
        Dev().SetMaterial(WhiteMaterial());
        Dev().SetTextureStageState(0, TextureStageState::ColorOp, TextureOp::SelectArg2);
        Dev().SetTextureStageState(0, TextureStageState::ColorArg2, TextureArg::Diffuse);
    }

    uint32_t DrawAndRead()
    {
        ClearAll(kBlue);
        const float s = 0.01f;
        const Vertex square[4] = {MakeVertex(-s, s, 0, kRed), MakeVertex(s, s, 0, kRed), MakeVertex(-s, -s, 0, kRed),
                                  MakeVertex(s, -s, 0, kRed)};
        EXPECT_TRUE(Dev().DrawPrimitiveUP(PrimitiveType::TriangleStrip, 2, square));
        return Pixel(kWidth / 2, kHeight / 2);
    }
};

struct LightCase {
    const char* name;
    Light light;
    uint8_t expected;  // grey level
};

class LightCaseTest : public LitSquareTest, public ::testing::WithParamInterface<LightCase> {};

TEST_P(LightCaseTest, LightsTheSquareAsExpected)
{
    ASSERT_TRUE(Dev().SetLight(0, GetParam().light));
    ASSERT_TRUE(Dev().LightEnable(0, true));
    const uint32_t g = GetParam().expected;
    EXPECT_TRUE(ColourNear(0xFF000000u | g << 16 | g << 8 | g, DrawAndRead(), 2));
}

Light Attenuated(float a0, float a1, float a2, float range)
{
    Light light = MakeLight(LightType::Point, {0, 0, -2}, {0, 0, 1});
    light.attenuation0 = a0;
    light.attenuation1 = a1;
    light.attenuation2 = a2;
    light.range = range;
    return light;
}

Light Spot(float theta, float phi, PVector3 direction)
{
    Light light = MakeLight(LightType::Spot, {0, 0, -2}, direction);
    light.theta = theta;
    light.phi = phi;
    return light;
}

INSTANTIATE_TEST_SUITE_P(
    Lights, LightCaseTest,
    ::testing::Values(LightCase{"DirectionalFacing", MakeLight(LightType::Directional, {}, {0, 0, 1}), 255},
                      LightCase{"DirectionalBehind", MakeLight(LightType::Directional, {}, {0, 0, -1}), 0},
                      LightCase{"DirectionalAt60Degrees", MakeLight(LightType::Directional, {}, {0, 0.8660254f, 0.5f}),
                                128},
                      LightCase{"PointNear", Attenuated(1, 0, 0, 10), 255},
                      LightCase{"PointLinear", Attenuated(0, 1, 0, 10), 128},
                      LightCase{"PointQuadratic", Attenuated(0, 0, 1, 10), 64},
                      LightCase{"PointOutOfRange", Attenuated(1, 0, 0, 1.5f), 0},
                      LightCase{"SpotInsideCone", Spot(0.2f, 0.4f, {0, 0, 1}), 255},
                      LightCase{"SpotOutsideCone", Spot(0.2f, 0.4f, {0, 0.5f, 0.8660254f}), 0}),
    [](const ::testing::TestParamInfo<LightCase>& info) { return std::string(info.param.name); });

TEST_F(LitSquareTest, AmbientAndEmissiveAddUp)
{
    Material material = WhiteMaterial();
    material.ambient = {0.5f, 0.5f, 0.5f, 1.0f};
    material.emissive = {0.25f, 0.0f, 0.0f, 0.0f};
    Dev().SetMaterial(material);
    Dev().SetRenderState(RenderState::Ambient, 0xFF808080u);
    EXPECT_TRUE(ColourNear(0xFF804040u, DrawAndRead(), 2));  // 0.25 + 0.5 × 0.5 red, 0.25 green and blue
}

TEST_F(LitSquareTest, WithoutLightingTheVertexColourShows)
{
    ASSERT_TRUE(Dev().SetLight(0, MakeLight(LightType::Directional, {}, {0, 0, 1})));
    ASSERT_TRUE(Dev().LightEnable(0, true));
    Dev().SetRenderState(RenderState::Lighting, false);
    EXPECT_EQ(DrawAndRead(), kRed);
}

TEST_F(LitSquareTest, LightsThatCannotLightAreRefused)
{
    EXPECT_FALSE(Dev().SetLight(0, Attenuated(0, 0, 0, 10)));
    EXPECT_FALSE(Dev().SetLight(0, Attenuated(1, 0, 0, -1)));
    EXPECT_FALSE(Dev().SetLight(kMaxLights, MakeLight(LightType::Directional, {}, {0, 0, 1})));
    EXPECT_TRUE(Dev().SetLight(kMaxLights - 1, MakeLight(LightType::Directional, {}, {0, 0, 1})));
}

TEST_F(LitSquareTest, ThirtyLightsAddUp)
{
    Light dim = MakeLight(LightType::Directional, {}, {0, 0, 1});
    dim.diffuse = {8.0f / 255.0f, 8.0f / 255.0f, 8.0f / 255.0f, 1.0f};
    for (uint32_t i = 0; i < kMaxLights; ++i) {
        ASSERT_TRUE(Dev().SetLight(i, dim));
        ASSERT_TRUE(Dev().LightEnable(i, true));
    }
    EXPECT_TRUE(ColourNear(0xFFF0F0F0u, DrawAndRead(), 2));
}

TEST_F(GfxTest, SpecularHighlightIsAddedOnlyWhenEnabled)
{
    // The square one unit in front of the eye, facing it, under a light that only shines specular.
    Dev().SetTransform(TransformType::Projection, MatrixOrthoLH(0.02f, 0.02f, 0.0f, 2.0f));
    Material material = WhiteMaterial();
    material.ambient = {0, 0, 0, 0};
    material.specular = {1, 1, 1, 1};
    material.power = 10.0f;
    Dev().SetMaterial(material);
    Light light = MakeLight(LightType::Directional, {}, {0, 0, 1});
    light.diffuse = {0, 0, 0, 0};
    light.specular = {1, 1, 1, 1};
    ASSERT_TRUE(Dev().SetLight(0, light));
    ASSERT_TRUE(Dev().LightEnable(0, true));
    Dev().SetTextureStageState(0, TextureStageState::ColorOp, TextureOp::SelectArg2);
    Dev().SetTextureStageState(0, TextureStageState::ColorArg2, TextureArg::Diffuse);
    const float s = 0.01f;
    const Vertex square[4] = {MakeVertex(-s, s, 1, kRed), MakeVertex(s, s, 1, kRed), MakeVertex(-s, -s, 1, kRed),
                              MakeVertex(s, -s, 1, kRed)};
    for (bool specular : {false, true}) {
        Dev().SetRenderState(RenderState::SpecularEnable, specular);
        ClearAll(kBlue);
        ASSERT_TRUE(Dev().DrawPrimitiveUP(PrimitiveType::TriangleStrip, 2, square));
        EXPECT_TRUE(ColourNear(specular ? kWhite : kBlack, Pixel(kWidth / 2, kHeight / 2), 2)) << specular;
    }
}

// A sphere of radius 1 at the origin, seen from z = -4, lit by a point light in front on its right.
TEST_F(GfxTest, PointLightLightsTheNearSideOfAMesh)
{
    constexpr int kStacks = 16, kSlices = 24;
    std::vector<Vertex> vertices;
    for (int i = 0; i <= kStacks; ++i) {
        const float polar = 3.14159265f * static_cast<float>(i) / kStacks;
        for (int j = 0; j <= kSlices; ++j) {
            const float azimuth = 2.0f * 3.14159265f * static_cast<float>(j) / kSlices;
            const PVector3 p{std::sin(polar) * std::cos(azimuth), std::cos(polar), std::sin(polar) * std::sin(azimuth)};
            vertices.push_back(Vertex{p.x, p.y, p.z, p.x, p.y, p.z, kWhite, 0, 0, 0, 0, 0});
        }
    }
    std::vector<uint16_t> indices;
    const auto at = [](int i, int j) { return static_cast<uint16_t>(i * (kSlices + 1) + j); };
    const auto addTriangle = [&](uint16_t a, uint16_t b, uint16_t c) {
        // Front faces are clockwise as seen from outside.
        const auto& va = vertices[a];
        const PVector3 pa{va.x, va.y, va.z};
        const PVector3 pb{vertices[b].x, vertices[b].y, vertices[b].z};
        const PVector3 pc{vertices[c].x, vertices[c].y, vertices[c].z};
        const PVector3 centre = (pa + pb + pc) / 3.0f;
        const bool outward = Vec3Dot(Vec3Cross(pb - pa, pc - pa), centre) > 0.0f;
        indices.insert(indices.end(), {a, outward ? b : c, outward ? c : b});
    };
    for (int i = 0; i < kStacks; ++i) {
        for (int j = 0; j < kSlices; ++j) {
            if (i > 0) addTriangle(at(i, j), at(i, j + 1), at(i + 1, j));
            if (i < kStacks - 1) addTriangle(at(i, j + 1), at(i + 1, j + 1), at(i + 1, j));
        }
    }
    auto vb = Dev().CreateVertexBuffer(static_cast<uint32_t>(vertices.size()), Usage::Static, Pool::Managed);
    auto ib = Dev().CreateIndexBuffer(static_cast<uint32_t>(indices.size()), Usage::Static, Pool::Managed);
    ASSERT_NE(vb, nullptr);
    ASSERT_NE(ib, nullptr);
    std::copy(vertices.begin(), vertices.end(), vb->Lock(0, 0, LockNone));
    ASSERT_TRUE(vb->Unlock());
    std::copy(indices.begin(), indices.end(), ib->Lock(0, 0, LockNone));
    ASSERT_TRUE(ib->Unlock());

    Dev().SetTransform(TransformType::View, MatrixLookAtLH({0, 0, -4}, {0, 0, 0}, {0, 1, 0}));
    Dev().SetTransform(TransformType::Projection, MatrixPerspectiveFovLH(0.8f, 4.0f / 3.0f, 1.0f, 10.0f));
    Dev().SetMaterial(WhiteMaterial());
    Dev().SetRenderState(RenderState::Ambient, 0xFF202020u);
    Dev().SetTextureStageState(0, TextureStageState::ColorOp, TextureOp::SelectArg2);
    Dev().SetTextureStageState(0, TextureStageState::ColorArg2, TextureArg::Diffuse);
    Light light = MakeLight(LightType::Point, {3, 0, -3}, {0, 0, 0});
    ASSERT_TRUE(Dev().SetLight(3, light));
    ASSERT_TRUE(Dev().LightEnable(3, true));
    ClearAll(kBlue);
    Dev().SetStreamSource(vb.get());
    Dev().SetIndices(ib.get());
    ASSERT_TRUE(Dev().DrawIndexedPrimitive(PrimitiveType::TriangleList, 0, 0, static_cast<uint32_t>(vertices.size()),
                                           0, static_cast<uint32_t>(indices.size() / 3)));
    const uint32_t right = Pixel(kWidth / 2 + 8, kHeight / 2);
    const uint32_t left = Pixel(kWidth / 2 - 12, kHeight / 2);
    const uint32_t centre = Pixel(kWidth / 2, kHeight / 2);
    EXPECT_GT(right & 0xFFu, 0xC0u) << std::hex << right;
    EXPECT_TRUE(ColourNear(0xFF202020u, left, 4)) << std::hex << left;  // the ambient alone
    EXPECT_GT(centre & 0xFFu, 0x40u);
    EXPECT_LT(centre & 0xFFu, right & 0xFFu);
    EXPECT_EQ(Pixel(1, 1), kBlue);  // outside the sphere
}

}  // namespace
}  // namespace gfxtest
