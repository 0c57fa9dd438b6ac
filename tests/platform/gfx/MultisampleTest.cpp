#include <gtest/gtest.h>

#include "GfxFixture.h"

namespace gfxtest {
namespace {

// A window whose back buffer has several samples per pixel.
TEST(MultisampleTest, MultisampledBackBufferIsDrawnReadAndCopied)
{
    platform::WindowConfig config;
    config.width = 32;
    config.height = 32;
    config.multisample = 4;
    std::string error;
    auto window = platform::Window::Create(config, error);
    ASSERT_NE(window, nullptr) << error;
    auto device = Device::Create(*window, error);
    ASSERT_NE(device, nullptr) << error;
    if (device->Caps().backBufferSamples == 0) GTEST_SKIP() << "no multisampled back buffer here";
    EXPECT_GE(device->Caps().maxSamples, device->Caps().backBufferSamples);

    device->Clear(ClearTarget | ClearZBuffer, kBlack, 1.0f);
    device->SetRenderState(RenderState::Lighting, false);
    device->SetTextureStageState(0, TextureStageState::ColorOp, TextureOp::SelectArg2);
    device->SetTextureStageState(0, TextureStageState::ColorArg2, TextureArg::Diffuse);
    // The upper half red, with a diagonal edge through the lower half.
    const ScreenVertex upper[4] = {{31.5f, -0.5f, 0.5f, 1, kRed, 0, 0},
                                   {31.5f, 15.5f, 0.5f, 1, kRed, 0, 0},
                                   {-0.5f, -0.5f, 0.5f, 1, kRed, 0, 0},
                                   {-0.5f, 15.5f, 0.5f, 1, kRed, 0, 0}};
    ASSERT_TRUE(device->DrawPrimitiveUP(PrimitiveType::TriangleStrip, 2, upper));
    const ScreenVertex diagonal[3] = {{-0.5f, 15.5f, 0.5f, 1, kGreen, 0, 0},
                                      {31.5f, 31.5f, 0.5f, 1, kGreen, 0, 0},
                                      {-0.5f, 31.5f, 0.5f, 1, kGreen, 0, 0}};
    ASSERT_TRUE(device->DrawPrimitiveUP(PrimitiveType::TriangleList, 1, diagonal));

    std::vector<uint32_t> pixels(32 * 32);
    ASSERT_TRUE(device->ReadPixels({0, 0, 32, 32}, pixels.data()));
    EXPECT_EQ(pixels[0], kRed);
    EXPECT_EQ(pixels[31 * 32], kGreen);
    EXPECT_EQ(pixels[20 * 32 + 30], kBlack);
    bool blended = false;  // edge pixels mix their samples
    for (uint32_t p : pixels) blended = blended || (p != kRed && p != kGreen && p != kBlack);
    EXPECT_TRUE(blended);

    auto copy = device->CreateTexture(2, 2, 1, Format::X8R8G8B8, TextureUsage::RenderTarget, Pool::Default);
    ASSERT_TRUE(device->StretchRect(nullptr, copy.get()));
    ASSERT_TRUE(device->SetRenderTarget(copy.get()));
    uint32_t small[4];
    ASSERT_TRUE(device->ReadPixels({0, 0, 2, 2}, small));
    EXPECT_EQ(small[0] | 0xFF000000u, kRed);
    EXPECT_EQ(small[1] | 0xFF000000u, kRed);
    EXPECT_FALSE(device->StretchRect(copy.get(), nullptr));  // no blit into a multisampled buffer
}

}  // namespace
}  // namespace gfxtest
