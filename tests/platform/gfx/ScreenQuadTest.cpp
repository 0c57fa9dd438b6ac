#include <gtest/gtest.h>

#include "GfxFixture.h"

namespace gfxtest {
namespace {

using ScreenQuadTest = GfxTest;

TEST_F(ScreenQuadTest, QuadFromMinusHalfCoversEveryPixelOfTheBackBufferOnce)
{
    ClearAll(kBlack);
    UseVertexColour();
    Dev().SetRenderState(RenderState::AlphaBlendEnable, true);
    Dev().SetRenderState(RenderState::SrcBlend, BlendFactor::One);
    Dev().SetRenderState(RenderState::DestBlend, BlendFactor::One);
    // Additive: a pixel covered twice (or missed) would not read 0x40.
    DrawFullScreen(0xFF404040u);
    for (uint32_t pixel : ReadTarget()) ASSERT_EQ(pixel, 0xFF404040u);
}

TEST_F(ScreenQuadTest, QuadEdgesFallOnPixelBoundaries)
{
    ClearAll(kBlack);
    UseVertexColour();
    // Pixels 2..5 across and 1..3 down, given by their centres ± 0.5.
    DrawScreenRect(1.5f, 0.5f, 5.5f, 3.5f, kRed);
    const std::vector<uint32_t> pixels = ReadTarget();
    for (int32_t y = 0; y < kHeight; ++y) {
        for (int32_t x = 0; x < kWidth; ++x) {
            const bool inside = x >= 2 && x <= 5 && y >= 1 && y <= 3;
            ASSERT_EQ(pixels[static_cast<size_t>(y * kWidth + x)], inside ? kRed : kBlack) << x << "," << y;
        }
    }
}

TEST_F(ScreenQuadTest, RenderTargetKeepsTheTopRowFirst)
{
    auto target = Dev().CreateTexture(16, 8, 1, Format::A8R8G8B8, TextureUsage::RenderTarget, Pool::Default);
    ASSERT_NE(target, nullptr);
    ASSERT_TRUE(Dev().SetRenderTarget(target.get()));
    EXPECT_EQ(Dev().GetViewport().width, 16);
    ClearAll(kBlack);
    UseVertexColour();
    DrawScreenRect(-0.5f, -0.5f, 15.5f, 1.5f, kGreen);  // the two top rows
    const std::vector<uint32_t> pixels = ReadTarget();
    for (int32_t y = 0; y < 8; ++y) {
        for (int32_t x = 0; x < 16; ++x) {
            ASSERT_EQ(pixels[static_cast<size_t>(y * 16 + x)], y < 2 ? kGreen : kBlack) << x << "," << y;
        }
    }
    // Sampled as a texture, its top row is v = 0: stretched over the back buffer it lands on top.
    ASSERT_TRUE(Dev().SetRenderTarget(nullptr));
    ClearAll(kBlack);
    Dev().SetTextureStageState(0, TextureStageState::ColorOp, TextureOp::Modulate);
    Dev().SetTextureStageState(0, TextureStageState::ColorArg1, TextureArg::Texture);
    Dev().SetTexture(0, target.get());
    DrawFullScreen(kWhite);
    EXPECT_EQ(Pixel(kWidth / 2, 0), kGreen);
    EXPECT_EQ(Pixel(kWidth / 2, kHeight - 1), kBlack);
}

}  // namespace
}  // namespace gfxtest
