#include <gtest/gtest.h>

#include <array>
#include <cstring>

#include "GfxFixture.h"
#include "platform/gfx/Dxt.h"

namespace gfxtest {
namespace {

// Draws textures texel for pixel into a small render target that keeps alpha.
class TextureTest : public GfxTest {
protected:
    void SetUp() override
    {
        GfxTest::SetUp();
        if (HasFatalFailure()) return;
        target_ = Dev().CreateTexture(4, 4, 1, Format::A8R8G8B8, TextureUsage::RenderTarget, Pool::Default);
        ASSERT_NE(target_, nullptr);
        Dev().SetRenderState(RenderState::Lighting, false);
        Dev().SetTextureStageState(0, TextureStageState::ColorOp, TextureOp::SelectArg1);
        Dev().SetTextureStageState(0, TextureStageState::AlphaOp, TextureOp::SelectArg1);
    }

    // The 4 × 4 target after drawing the texture over it, point sampled.
    std::vector<uint32_t> DrawTexture(const Texture& texture)
    {
        EXPECT_TRUE(Dev().SetRenderTarget(target_.get()));
        ClearAll(0);
        Dev().SetTexture(0, &texture);
        DrawScreenRect(-0.5f, -0.5f, 3.5f, 3.5f, kWhite);
        std::vector<uint32_t> pixels = ReadTarget();
        EXPECT_TRUE(Dev().SetRenderTarget(nullptr));
        return pixels;
    }

    std::unique_ptr<Texture> Filled(uint32_t width, uint32_t height, uint32_t levels, const uint32_t* colours)
    {
        auto texture = Dev().CreateTexture(width, height, levels, Format::A8R8G8B8, TextureUsage::Normal, Pool::Managed);
        EXPECT_NE(texture, nullptr);
        for (uint32_t level = 0; level < levels; ++level) {
            std::vector<uint32_t> pixels(texture->Width(level) * texture->Height(level), colours[level]);
            EXPECT_TRUE(texture->Update(level, nullptr, pixels.data(), texture->Width(level) * 4));
        }
        return texture;
    }

    std::unique_ptr<Texture> target_;
};

TEST_F(TextureTest, TexelsArriveRowByRowFromTheTopLeft)
{
    auto texture = Dev().CreateTexture(4, 4, 1, Format::A8R8G8B8, TextureUsage::Normal, Pool::Managed);
    ASSERT_NE(texture, nullptr);
    std::array<uint32_t, 16> texels;
    for (uint32_t i = 0; i < 16; ++i) texels[i] = 0x10000000u * i + 0x00010203u * (i + 1) + 0x00400000u;
    // Bytes in memory are B, G, R, A: the same as little-endian 0xAARRGGBB words.
    uint8_t bytes[64];
    std::memcpy(bytes, texels.data(), sizeof(bytes));
    ASSERT_TRUE(texture->Update(0, nullptr, bytes, 16));
    const std::vector<uint32_t> pixels = DrawTexture(*texture);
    for (uint32_t i = 0; i < 16; ++i) EXPECT_EQ(pixels[i], texels[i]) << i;
}

TEST_F(TextureTest, X8R8G8B8SamplesAlphaAsOpaqueAndR5G6B5ExpandsItsChannels)
{
    auto x8 = Dev().CreateTexture(4, 4, 1, Format::X8R8G8B8, TextureUsage::Normal, Pool::Managed);
    const std::vector<uint32_t> transparentRed(16, 0x00FF0000u);
    ASSERT_TRUE(x8->Update(0, nullptr, transparentRed.data(), 16));
    EXPECT_EQ(DrawTexture(*x8)[5], kRed);

    auto r5g6b5 = Dev().CreateTexture(4, 4, 1, Format::R5G6B5, TextureUsage::Normal, Pool::Managed);
    std::vector<uint16_t> pixels(16, 0x07E0);  // green
    pixels[1] = 0xF800;                           // red
    pixels[2] = 0x001F;                           // blue
    ASSERT_TRUE(r5g6b5->Update(0, nullptr, pixels.data(), 8));
    const std::vector<uint32_t> drawn = DrawTexture(*r5g6b5);
    EXPECT_EQ(drawn[0], kGreen);
    EXPECT_EQ(drawn[1], kRed);
    EXPECT_EQ(drawn[2], kBlue);
}

TEST_F(TextureTest, LockedRectangleReplacesOnlyItsTexels)
{
    const uint32_t red[] = {kRed};
    auto texture = Filled(4, 4, 1, red);
    const Rect inner{1, 1, 3, 3};
    LockedRect locked = texture->Lock(0, &inner, LockNone);
    ASSERT_NE(locked.bits, nullptr);
    EXPECT_EQ(locked.pitch, 16u);
    EXPECT_EQ(*static_cast<uint32_t*>(locked.bits), kRed);  // the current contents
    EXPECT_EQ(texture->Lock(0, nullptr, LockNone).bits, nullptr);  // one lock at a time
    for (int row = 0; row < 2; ++row) {
        auto* line = reinterpret_cast<uint32_t*>(static_cast<uint8_t*>(locked.bits) + row * locked.pitch);
        line[0] = line[1] = kGreen;
    }
    ASSERT_TRUE(texture->Unlock());
    EXPECT_FALSE(texture->Unlock());
    const std::vector<uint32_t> pixels = DrawTexture(*texture);
    for (int y = 0; y < 4; ++y) {
        for (int x = 0; x < 4; ++x) {
            const bool inside = x >= 1 && x < 3 && y >= 1 && y < 3;
            EXPECT_EQ(pixels[static_cast<size_t>(y * 4 + x)], inside ? kGreen : kRed) << x << "," << y;
        }
    }
}

TEST_F(TextureTest, DrawingStartsAtTheChosenMipLevel)
{
    const uint32_t colours[] = {kRed, kGreen, kBlue};
    auto texture = Filled(4, 4, 3, colours);
    EXPECT_EQ(texture->Width(2), 1u);
    Dev().SetSamplerState(0, SamplerState::MipFilter, TextureFilter::Point);
    EXPECT_EQ(DrawTexture(*texture)[0], kRed);
    texture->SetLod(1);
    EXPECT_EQ(DrawTexture(*texture)[0], kGreen);
    texture->SetLod(7);
    EXPECT_EQ(texture->GetLod(), 2u);
    EXPECT_EQ(DrawTexture(*texture)[0], kBlue);
}

TEST_F(TextureTest, InvalidTexturesAndRectanglesAreRefused)
{
    EXPECT_EQ(Dev().CreateTexture(6, 8, 1, Format::DXT5, TextureUsage::Normal, Pool::Managed), nullptr);
    EXPECT_EQ(Dev().CreateTexture(8, 8, 5, Format::A8R8G8B8, TextureUsage::Normal, Pool::Managed), nullptr);
    EXPECT_EQ(Dev().CreateTexture(0, 8, 1, Format::A8R8G8B8, TextureUsage::Normal, Pool::Managed), nullptr);
    EXPECT_EQ(Dev().CreateTexture(8, 8, 1, Format::A8R8G8B8, TextureUsage::RenderTarget, Pool::Managed), nullptr);
    EXPECT_EQ(Dev().CreateTexture(8, 8, 2, Format::A8R8G8B8, TextureUsage::RenderTarget, Pool::Default), nullptr);
    EXPECT_EQ(Dev().CreateTexture(8, 8, 1, Format::DXT1, TextureUsage::RenderTarget, Pool::Default), nullptr);
    auto full = Dev().CreateTexture(8, 8, 0, Format::A8R8G8B8, TextureUsage::Normal, Pool::Managed);
    ASSERT_NE(full, nullptr);
    EXPECT_EQ(full->LevelCount(), 4u);

    auto dxt = Dev().CreateTexture(8, 8, 0, Format::DXT1, TextureUsage::Normal, Pool::Managed);
    ASSERT_NE(dxt, nullptr);
    const uint8_t blocks[64] = {};
    const Rect offBlock{2, 0, 6, 4};
    const Rect onBlock{4, 4, 8, 8};
    const Rect outside{4, 4, 12, 8};
    EXPECT_FALSE(dxt->Update(0, &offBlock, blocks, 8));
    EXPECT_TRUE(dxt->Update(0, &onBlock, blocks, 8));
    EXPECT_FALSE(dxt->Update(0, &outside, blocks, 16));
    EXPECT_FALSE(dxt->Update(0, nullptr, blocks, 8));  // a pitch shorter than a row of blocks
    EXPECT_TRUE(dxt->Update(3, nullptr, blocks, 8));   // the 1 × 1 level is one partial block
    EXPECT_FALSE(dxt->Update(4, nullptr, blocks, 8));
    auto target = Dev().CreateTexture(8, 8, 1, Format::A8R8G8B8, TextureUsage::RenderTarget, Pool::Default);
    EXPECT_EQ(target->Lock(0, nullptr, LockNone).bits, nullptr);
}

TEST_F(TextureTest, StretchRectCopiesTheBackBufferTopRowFirst)
{
    ClearAll(kBlack);
    UseVertexColour();
    DrawScreenRect(-0.5f, -0.5f, kWidth - 0.5f, kHeight / 2 - 0.5f, kRed);  // the upper half
    ASSERT_TRUE(Dev().StretchRect(nullptr, target_.get()));
    auto copy = Dev().CreateTexture(2, 2, 1, Format::A8R8G8B8, TextureUsage::RenderTarget, Pool::Default);
    ASSERT_TRUE(Dev().StretchRect(target_.get(), copy.get()));
    ASSERT_TRUE(Dev().SetRenderTarget(copy.get()));
    const std::vector<uint32_t> pixels = ReadTarget();
    EXPECT_EQ(pixels[0] | 0xFF000000u, kRed);
    EXPECT_EQ(pixels[3] | 0xFF000000u, kBlack);
    EXPECT_FALSE(Dev().StretchRect(copy.get(), copy.get()));
}

TEST_F(TextureTest, TwoStagesModulateTheVertexColourByBothTextures)
{
    const uint32_t first[] = {0xFF80FF80u};
    const uint32_t second[] = {0xFFFF8080u};
    auto tex0 = Filled(4, 4, 1, first);
    auto tex1 = Filled(4, 4, 1, second);
    Dev().SetTextureStageState(0, TextureStageState::ColorOp, TextureOp::Modulate);
    Dev().SetTextureStageState(1, TextureStageState::ColorOp, TextureOp::Modulate);
    Dev().SetTextureStageState(0, TextureStageState::AlphaOp, TextureOp::Disable);
    Dev().SetTexture(1, tex1.get());
    ASSERT_TRUE(Dev().SetRenderTarget(target_.get()));
    ClearAll(0);
    Dev().SetTexture(0, tex0.get());
    DrawScreenRect(-0.5f, -0.5f, 3.5f, 3.5f, 0x8080FFFFu);
    // Red 0.5 × 0.5 × 1, green 1 × 1 × 0.5, blue 1 × 0.5 × 0.5; alpha stays the vertex's.
    EXPECT_TRUE(ColourNear(0x80408040u, Pixel(1, 1), 1));
    Dev().SetTextureStageState(1, TextureStageState::ColorOp, TextureOp::Disable);
    DrawScreenRect(-0.5f, -0.5f, 3.5f, 3.5f, 0x8080FFFFu);
    EXPECT_TRUE(ColourNear(0x8040FF80u, Pixel(1, 1), 1));
}

TEST_F(TextureTest, AddressModesAndFiltersSampleAsSet)
{
    auto grid = Dev().CreateTexture(2, 2, 1, Format::A8R8G8B8, TextureUsage::Normal, Pool::Managed);
    const uint32_t texels[4] = {kRed, kGreen, kBlue, kWhite};
    ASSERT_TRUE(grid->Update(0, nullptr, texels, 8));
    ASSERT_TRUE(Dev().SetRenderTarget(target_.get()));
    Dev().SetTexture(0, grid.get());
    struct Case {
        TextureAddress address;
        uint32_t third, fourth;  // pixels 2 and 3 of the top row, u from 0 to 2 across
    };
    for (const Case& c : {Case{TextureAddress::Wrap, kRed, kGreen}, Case{TextureAddress::Clamp, kGreen, kGreen},
                          Case{TextureAddress::Mirror, kGreen, kRed}}) {
        Dev().SetSamplerState(0, SamplerState::AddressU, c.address);
        ClearAll(0);
        DrawScreenRect(-0.5f, -0.5f, 3.5f, 3.5f, kWhite, 0, 0, 2, 1);
        EXPECT_EQ(Pixel(2, 0), c.third) << static_cast<int>(c.address);
        EXPECT_EQ(Pixel(3, 0), c.fourth) << static_cast<int>(c.address);
    }

    auto ramp = Dev().CreateTexture(2, 1, 1, Format::A8R8G8B8, TextureUsage::Normal, Pool::Managed);
    const uint32_t ends[2] = {kBlack, kWhite};
    ASSERT_TRUE(ramp->Update(0, nullptr, ends, 8));
    Dev().SetTexture(0, ramp.get());
    Dev().SetSamplerState(0, SamplerState::AddressU, TextureAddress::Clamp);
    for (TextureFilter filter : {TextureFilter::Point, TextureFilter::Linear}) {
        Dev().SetSamplerState(0, SamplerState::MinFilter, filter);
        Dev().SetSamplerState(0, SamplerState::MagFilter, filter);
        ClearAll(0);
        DrawScreenRect(-0.5f, -0.5f, 3.5f, 3.5f, kWhite);
        const bool linear = filter == TextureFilter::Linear;
        EXPECT_EQ(Pixel(0, 0), kBlack);
        EXPECT_TRUE(ColourNear(linear ? 0xFF404040u : kBlack, Pixel(1, 0), 1));
        EXPECT_TRUE(ColourNear(linear ? 0xFFBFBFBFu : kWhite, Pixel(2, 0), 1));
        EXPECT_EQ(Pixel(3, 0), kWhite);
    }
}

// --- DXT -------------------------------------------------------------------------------------

// One DXT5 block: colours red (c0) and blue (c1) with indices (x + y) mod 4, alpha 255 (a0)
// and 0 (a1) with indices (4y + x) mod 8.
std::array<uint8_t, 16> MakeDxt5Block()
{
    std::array<uint8_t, 16> block{};
    block[0] = 255;
    block[1] = 0;
    uint64_t alphaBits = 0;
    for (uint64_t i = 0; i < 16; ++i) alphaBits |= (i % 8) << (3 * i);
    for (int i = 0; i < 6; ++i) block[2 + i] = static_cast<uint8_t>(alphaBits >> (8 * i));
    block[8] = 0x00;  // c0 = 0xF800
    block[9] = 0xF8;
    block[10] = 0x1F;  // c1 = 0x001F
    block[11] = 0x00;
    uint32_t colourBits = 0;
    for (uint32_t y = 0; y < 4; ++y) {
        for (uint32_t x = 0; x < 4; ++x) colourBits |= ((x + y) % 4) << (2 * (y * 4 + x));
    }
    std::memcpy(&block[12], &colourBits, 4);
    return block;
}

// What texel (x, y) of that block holds.
uint32_t ExpectedDxt5Texel(uint32_t x, uint32_t y)
{
    const uint32_t colours[4] = {0xFF0000u, 0x0000FFu, 0xAA0055u, 0x5500AAu};
    const uint32_t alphas[8] = {255, 0, 218, 182, 145, 109, 72, 36};
    return alphas[(y * 4 + x) % 8] << 24 | colours[(x + y) % 4];
}

TEST(DxtDecode, Dxt5BlockDecodesRowByRowWithInterpolatedColoursAndAlpha)
{
    const auto block = MakeDxt5Block();
    uint32_t texels[16];
    DecodeDxtBlock(Format::DXT5, block.data(), texels);
    for (uint32_t i = 0; i < 16; ++i) EXPECT_EQ(texels[i], ExpectedDxt5Texel(i % 4, i / 4)) << i;
}

TEST(DxtDecode, Dxt1ThreeColourBlocksHaveTransparentBlack)
{
    // c0 = blue < c1 = red: three colours and transparent black.
    const uint8_t block[8] = {0x1F, 0x00, 0x00, 0xF8, 0b11100100, 0, 0, 0};
    uint32_t texels[16];
    DecodeDxtBlock(Format::DXT1, block, texels);
    EXPECT_EQ(texels[0], 0xFF0000FFu);
    EXPECT_EQ(texels[1], 0xFFFF0000u);
    EXPECT_EQ(texels[2], 0xFF7F007Fu);
    EXPECT_EQ(texels[3], 0x00000000u);
}

TEST(DxtDecode, Dxt3AndSixStepDxt5Alpha)
{
    uint8_t dxt3[16] = {0x10, 0xF2};  // texels 0..3: alpha 0, 1, 2, 15 (× 17)
    uint32_t texels[16];
    DecodeDxtBlock(Format::DXT3, dxt3, texels);
    EXPECT_EQ(texels[0] >> 24, 0u);
    EXPECT_EQ(texels[1] >> 24, 17u);
    EXPECT_EQ(texels[2] >> 24, 34u);
    EXPECT_EQ(texels[3] >> 24, 255u);

    // a0 = 0 ≤ a1 = 100: six steps, then 0 and 255; indices 1, 2, 6, 7.
    const uint64_t bits = 1 | 2 << 3 | 6 << 6 | 7 << 9;
    uint8_t dxt5[16] = {0, 100, static_cast<uint8_t>(bits), static_cast<uint8_t>(bits >> 8)};
    DecodeDxtBlock(Format::DXT5, dxt5, texels);
    EXPECT_EQ(texels[0] >> 24, 100u);
    EXPECT_EQ(texels[1] >> 24, 20u);
    EXPECT_EQ(texels[2] >> 24, 0u);
    EXPECT_EQ(texels[3] >> 24, 255u);
}

// Native S3TC sampling and the CPU decoder must agree on the texels.
class DxtTextureTest : public TextureTest, public ::testing::WithParamInterface<bool> {
protected:
    DeviceOptions Options() const override { return {GetParam()}; }
};

TEST_P(DxtTextureTest, Dxt5BlockTexelsArriveInOrderAndColour)
{
    if (!GetParam() && !Dev().Caps().s3tc) GTEST_SKIP() << "the driver cannot sample S3TC textures";
    auto texture = Dev().CreateTexture(4, 4, 1, Format::DXT5, TextureUsage::Normal, Pool::Managed);
    ASSERT_NE(texture, nullptr);
    const auto block = MakeDxt5Block();
    ASSERT_TRUE(texture->Update(0, nullptr, block.data(), 16));
    const std::vector<uint32_t> pixels = DrawTexture(*texture);
    for (uint32_t i = 0; i < 16; ++i) EXPECT_TRUE(ColourNear(ExpectedDxt5Texel(i % 4, i / 4), pixels[i], 2)) << i;

    // A lock hands back the blocks as they were stored.
    const LockedRect locked = texture->Lock(0, nullptr, LockNone);
    ASSERT_NE(locked.bits, nullptr);
    EXPECT_EQ(std::memcmp(locked.bits, block.data(), block.size()), 0);
    static_cast<uint8_t*>(locked.bits)[8] = 0xFF;  // c0 = 0xF8FF: red, a little green, all blue
    ASSERT_TRUE(texture->Unlock());
    EXPECT_TRUE(ColourNear(0xFFFF1CFFu, DrawTexture(*texture)[0], 2));
}

INSTANTIATE_TEST_SUITE_P(Decoding, DxtTextureTest, ::testing::Values(false, true),
                         [](const ::testing::TestParamInfo<bool>& info) {
                             return std::string(info.param ? "OnCpu" : "ByDriver");
                         });

}  // namespace
}  // namespace gfxtest
