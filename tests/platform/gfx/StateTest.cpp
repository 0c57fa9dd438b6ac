#include <gtest/gtest.h>

#include "GfxFixture.h"
#include "math/PMatrix.h"

namespace gfxtest {
namespace {

using StateTest = GfxTest;

// --- Culling ---------------------------------------------------------------------------------

struct CullCase {
    CullMode mode;
    bool clockwise;  // as seen on the screen
    bool drawn;
};

class CullTest : public GfxTest, public ::testing::WithParamInterface<std::tuple<CullCase, bool>> {};

TEST_P(CullTest, FacesAreRemovedByTheirWindingOnScreen)
{
    const auto [c, intoTexture] = GetParam();
    std::unique_ptr<Texture> target;
    if (intoTexture) {
        target = Dev().CreateTexture(32, 32, 1, Format::X8R8G8B8, TextureUsage::RenderTarget, Pool::Default);
        ASSERT_TRUE(Dev().SetRenderTarget(target.get()));
    }
    ClearAll(kBlack);
    UseVertexColour();
    Dev().SetRenderState(RenderState::CullMode, c.mode);
    const ScreenVertex a{0.0f, 0.0f, 0.5f, 1.0f, kRed, 0, 0};
    const ScreenVertex b{20.0f, 0.0f, 0.5f, 1.0f, kRed, 0, 0};
    const ScreenVertex d{0.0f, 20.0f, 0.5f, 1.0f, kRed, 0, 0};
    const ScreenVertex clockwise[3] = {a, b, d};
    const ScreenVertex counterClockwise[3] = {a, d, b};
    ASSERT_TRUE(Dev().DrawPrimitiveUP(PrimitiveType::TriangleList, 1, c.clockwise ? clockwise : counterClockwise));
    EXPECT_EQ(Pixel(3, 3), c.drawn ? kRed : kBlack);
}

INSTANTIATE_TEST_SUITE_P(Windings, CullTest,
                         ::testing::Combine(::testing::Values(CullCase{CullMode::CCW, true, true},
                                                              CullCase{CullMode::CCW, false, false},
                                                              CullCase{CullMode::CW, true, false},
                                                              CullCase{CullMode::CW, false, true},
                                                              CullCase{CullMode::None, true, true},
                                                              CullCase{CullMode::None, false, true}),
                                            ::testing::Bool()));

TEST_F(StateTest, TransformedTriangleIsCulledByItsScreenWinding)
{
    // Left-handed, y up: origin, up, right is clockwise on the screen.
    Dev().SetTransform(TransformType::Projection, MatrixOrthoLH(2.0f, 2.0f, 0.0f, 1.0f));
    UseVertexColour();
    const Vertex clockwise[3] = {MakeVertex(-1, -1, 0.5f, kGreen), MakeVertex(-1, 1, 0.5f, kGreen),
                                 MakeVertex(1, -1, 0.5f, kGreen)};
    const Vertex counterClockwise[3] = {clockwise[0], clockwise[2], clockwise[1]};
    ClearAll(kBlack);
    ASSERT_TRUE(Dev().DrawPrimitiveUP(PrimitiveType::TriangleList, 1, counterClockwise));
    EXPECT_EQ(Pixel(2, kHeight - 3), kBlack);
    ASSERT_TRUE(Dev().DrawPrimitiveUP(PrimitiveType::TriangleList, 1, clockwise));
    EXPECT_EQ(Pixel(2, kHeight - 3), kGreen);
}

// --- Blending --------------------------------------------------------------------------------

struct BlendCase {
    const char* name;
    BlendFactor source;
    BlendFactor dest;
    uint32_t background;
    uint32_t drawn;
    uint32_t expected;
};

class BlendTest : public GfxTest, public ::testing::WithParamInterface<BlendCase> {};

TEST_P(BlendTest, ReadsBackTheBlendedBytes)
{
    const BlendCase& c = GetParam();
    ClearAll(c.background);
    UseVertexColour();
    Dev().SetRenderState(RenderState::AlphaBlendEnable, true);
    Dev().SetRenderState(RenderState::SrcBlend, c.source);
    Dev().SetRenderState(RenderState::DestBlend, c.dest);
    DrawFullScreen(c.drawn);
    // The back buffer has no alpha channel: compare colour only.
    EXPECT_TRUE(ColourNear(c.expected | 0xFF000000u, Pixel(5, 5) | 0xFF000000u, 1));
}

INSTANTIATE_TEST_SUITE_P(
    Factors, BlendTest,
    ::testing::Values(
        BlendCase{"Alpha", BlendFactor::SrcAlpha, BlendFactor::InvSrcAlpha, kBlue, 0x80FF0000u, 0xFF80007Fu},
        BlendCase{"AlphaOpaque", BlendFactor::SrcAlpha, BlendFactor::InvSrcAlpha, kBlue, 0xFFFF0000u, kRed},
        BlendCase{"AlphaClear", BlendFactor::SrcAlpha, BlendFactor::InvSrcAlpha, kBlue, 0x00FF0000u, kBlue},
        BlendCase{"Additive", BlendFactor::One, BlendFactor::One, 0xFF204080u, 0xFF402010u, 0xFF606090u},
        BlendCase{"AdditiveSaturates", BlendFactor::One, BlendFactor::One, 0xFFC0C0C0u, 0xFF808080u, kWhite},
        BlendCase{"AdditiveByAlpha", BlendFactor::SrcAlpha, BlendFactor::One, 0xFF101010u, 0x80FFFFFFu, 0xFF909090u}),
    [](const ::testing::TestParamInfo<BlendCase>& info) { return std::string(info.param.name); });

TEST_F(StateTest, AlphaTestComparesAlphaWithTheReference)
{
    struct Case {
        CompareFunc func;
        uint32_t reference;
        bool drawn;
    };
    const Case cases[] = {{CompareFunc::Greater, 0x80, false}, {CompareFunc::Greater, 0x7E, true},
                          {CompareFunc::Equal, 0x7F, true},    {CompareFunc::Less, 0x7F, false},
                          {CompareFunc::Never, 0x00, false},   {CompareFunc::Always, 0xFF, true}};
    UseVertexColour();
    Dev().SetRenderState(RenderState::AlphaTestEnable, true);
    for (const Case& c : cases) {
        ClearAll(kBlack);
        Dev().SetRenderState(RenderState::AlphaFunc, c.func);
        Dev().SetRenderState(RenderState::AlphaRef, c.reference);
        DrawFullScreen(0x7F00FF00u);
        EXPECT_EQ(Pixel(1, 1), c.drawn ? kGreen : kBlack) << static_cast<int>(c.func) << " " << c.reference;
    }
}

// --- Depth, clear and viewport ---------------------------------------------------------------

TEST_F(StateTest, ClearResetsDepthEvenWithDepthWritesOff)
{
    UseVertexColour();
    ClearAll(kBlack);
    const ScreenVertex nearQuad[4] = {{100, -1, 0.2f, 1, kRed, 0, 0},
                                      {100, 100, 0.2f, 1, kRed, 0, 0},
                                      {-1, -1, 0.2f, 1, kRed, 0, 0},
                                      {-1, 100, 0.2f, 1, kRed, 0, 0}};
    ASSERT_TRUE(Dev().DrawPrimitiveUP(PrimitiveType::TriangleStrip, 2, nearQuad));
    Dev().SetRenderState(RenderState::ZWriteEnable, false);
    Dev().Clear(ClearZBuffer, 0, 1.0f);
    DrawFullScreen(kGreen);  // z 0.5: passes only against the cleared depth
    EXPECT_EQ(Pixel(4, 4), kGreen);
    EXPECT_EQ(Dev().GetRenderState(RenderState::ZWriteEnable), 0u);
}

TEST_F(StateTest, NearerSurfaceWinsWhateverTheOrder)
{
    Dev().SetTransform(TransformType::Projection, MatrixPerspectiveFovLH(1.0f, 4.0f / 3.0f, 1.0f, 10.0f));
    UseVertexColour();
    ClearAll(kBlack);
    const auto square = [](float z, uint32_t colour, Vertex (&out)[4]) {
        out[0] = MakeVertex(-z, z, z, colour);
        out[1] = MakeVertex(z, z, z, colour);
        out[2] = MakeVertex(-z, -z, z, colour);
        out[3] = MakeVertex(z, -z, z, colour);
    };
    Vertex nearSquare[4], farSquare[4], beyondFar[4], beforeNear[4];
    square(3.0f, kRed, nearSquare);
    square(6.0f, kGreen, farSquare);
    square(11.0f, kBlue, beyondFar);
    square(0.8f, kBlue, beforeNear);
    ASSERT_TRUE(Dev().DrawPrimitiveUP(PrimitiveType::TriangleStrip, 2, nearSquare));
    ASSERT_TRUE(Dev().DrawPrimitiveUP(PrimitiveType::TriangleStrip, 2, farSquare));
    ASSERT_TRUE(Dev().DrawPrimitiveUP(PrimitiveType::TriangleStrip, 2, beyondFar));
    ASSERT_TRUE(Dev().DrawPrimitiveUP(PrimitiveType::TriangleStrip, 2, beforeNear));
    EXPECT_EQ(Pixel(kWidth / 2, kHeight / 2), kRed);
}

TEST_F(StateTest, ClearAndScreenQuadsStayInsideTheViewport)
{
    ClearAll(kBlack);
    ASSERT_TRUE(Dev().SetViewport({8, 4, 16, 8, 0.0f, 1.0f}));
    Dev().Clear(ClearTarget, kBlue, 1.0f);
    UseVertexColour();
    DrawScreenRect(11.5f, 5.5f, 13.5f, 7.5f, kRed);  // pixels 12..13 × 6..7 of the target
    const std::vector<uint32_t> pixels = ReadTarget();
    for (int32_t y = 0; y < kHeight; ++y) {
        for (int32_t x = 0; x < kWidth; ++x) {
            uint32_t expected = x >= 8 && x < 24 && y >= 4 && y < 12 ? kBlue : kBlack;
            if (x >= 12 && x <= 13 && y >= 6 && y <= 7) expected = kRed;
            ASSERT_EQ(pixels[static_cast<size_t>(y * kWidth + x)], expected) << x << "," << y;
        }
    }
    EXPECT_FALSE(Dev().SetViewport({60, 0, 16, 8, 0.0f, 1.0f}));
}

TEST_F(StateTest, WireframeDrawsOnlyTheEdges)
{
    UseVertexColour();
    Dev().SetRenderState(RenderState::FillMode, FillMode::Wireframe);
    ClearAll(kBlack);
    const ScreenVertex triangle[3] = {{4, 4, 0.5f, 1, kRed, 0, 0}, {40, 4, 0.5f, 1, kRed, 0, 0}, {4, 40, 0.5f, 1, kRed, 0, 0}};
    ASSERT_TRUE(Dev().DrawPrimitiveUP(PrimitiveType::TriangleList, 1, triangle));
    EXPECT_EQ(Pixel(12, 12), kBlack);
    EXPECT_EQ(Pixel(20, 4), kRed);
}

TEST_F(StateTest, PixelCameraQuadCoversEveryPixelOnceLikeScreenVertices)
{
    // The screen camera: pixel coordinates, y down.
    Dev().SetTransform(TransformType::View, MatrixOrthoOffCenterLH(0.0f, kWidth, kHeight, 0.0f, 0.0f, 1.0f));
    UseVertexColour();
    Dev().SetRenderState(RenderState::AlphaBlendEnable, true);
    Dev().SetRenderState(RenderState::SrcBlend, BlendFactor::One);
    Dev().SetRenderState(RenderState::DestBlend, BlendFactor::One);
    ClearAll(kBlack);
    const float r = kWidth - 0.5f, b = kHeight - 0.5f;
    const Vertex quad[4] = {MakeVertex(r, -0.5f, 0.5f, 0xFF404040u), MakeVertex(r, b, 0.5f, 0xFF404040u),
                            MakeVertex(-0.5f, -0.5f, 0.5f, 0xFF404040u), MakeVertex(-0.5f, b, 0.5f, 0xFF404040u)};
    ASSERT_TRUE(Dev().DrawPrimitiveUP(PrimitiveType::TriangleStrip, 2, quad));
    for (uint32_t pixel : ReadTarget()) ASSERT_EQ(pixel, 0xFF404040u);
}

}  // namespace
}  // namespace gfxtest
