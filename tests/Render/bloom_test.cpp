// Bloom: a bright scene spreads light around it before the screen layers are drawn, only while
// the bloom setting is on, and keeps doing so across device resets.
#include <gtest/gtest.h>

#include <SDL.h>

#include <filesystem>

#include "core/SettingsVariables.h"
#include "renderer_fixture.h"

namespace rendertest {
namespace {

constexpr int32_t kSceneLayer = 20;
constexpr int32_t kInterfaceLayer = 200;
// A white square in the middle of the screen, and pixels two to the left of it and above it.
constexpr float kLeft = 28.0f, kTop = 20.0f, kRight = 36.0f, kBottom = 28.0f;
constexpr int32_t kBesideX = 26, kBesideY = 24;
constexpr int32_t kAboveX = 32, kAboveY = 19;
// Light that counts as spread into a pixel (of 255 per channel).
constexpr uint32_t kSpread = 16;

uint32_t Green(uint32_t argb) { return (argb >> 8) & 0xFFu; }

class BloomTest : public RendererTest {
protected:
    void PrepareFolder() override {
        RendererTest::PrepareFolder();
        g_bloom = m_bloom ? 1 : 0;
        if (!m_effects) return;
        for (const char* name : {"bloom.fx", "bloom2.fx"}) {
            std::filesystem::copy_file(std::filesystem::path(VX_SAMPLE_SOURCE) / "data/effects" / name,
                                       std::filesystem::path("data/effects") / name);
        }
    }
    void TearDown() override {
        RendererTest::TearDown();
        g_bloom = 0;
    }

    // Draws the white square on a layer (with the pixel camera on the scene layer).
    CapturedFrame DrawSquare(int32_t layer) {
        TPtr<CPMaterial> material = Material(layer);
        TPtr<CPRenderObject> square = Quad(material, kLeft, kTop, kRight, kBottom, kWhite);
        Render().SetLayerCamera(kSceneLayer, PixelCamera());
        return Drawn([&] { Block().AddRenderObject(square); });
    }

    bool m_bloom = true;
    bool m_effects = true;
};

class BloomSettingTest : public BloomTest, public ::testing::WithParamInterface<bool> {
protected:
    void SetUp() override {
        m_bloom = GetParam();
        BloomTest::SetUp();
    }
};

TEST_P(BloomSettingTest, ABrightSquareLightsItsNeighboursOnlyWithBloomOn) {
    ASSERT_EQ(Render().IsBloomActive(), GetParam());
    const CapturedFrame frame = DrawSquare(kSceneLayer);
    ASSERT_FALSE(frame.pixels.empty());
    EXPECT_TRUE(ColourNear(kWhite, frame.Pixel(kMiddleX, kMiddleY)));
    for (const auto& [x, y] : {std::pair{kBesideX, kBesideY}, std::pair{kAboveX, kAboveY}}) {
        if (GetParam()) {
            EXPECT_GE(Green(frame.Pixel(x, y)), kSpread) << x << ", " << y;
        } else {
            EXPECT_TRUE(ColourNear(kBlack, frame.Pixel(x, y), 0)) << x << ", " << y;
        }
    }
    // Far from the square the screen stays black either way.
    EXPECT_TRUE(ColourNear(kBlack, frame.Pixel(2, 2), 2));
}

INSTANTIATE_TEST_SUITE_P(OnAndOff, BloomSettingTest, ::testing::Bool());

TEST_F(BloomTest, ScreenLayersAreNotBloomed) {
    ASSERT_TRUE(Render().GetBloom().IsReady());
    const CapturedFrame frame = DrawSquare(kInterfaceLayer);
    ASSERT_FALSE(frame.pixels.empty());
    EXPECT_TRUE(ColourNear(kWhite, frame.Pixel(kMiddleX, kMiddleY)));
    EXPECT_TRUE(ColourNear(kBlack, frame.Pixel(kBesideX, kBesideY), 0));
    EXPECT_TRUE(ColourNear(kBlack, frame.Pixel(kAboveX, kAboveY), 0));
}

TEST_F(BloomTest, BloomCoversTheNewScreenAfterAResizeAndReset) {
    DrawSquare(kSceneLayer);
    SDL_SetWindowSize(static_cast<SDL_Window*>(GetWindow().Handle()), 2 * kWidth, 2 * kHeight);
    Render().ResetDevice();
    ASSERT_TRUE(Render().GetBloom().IsReady());
    // A square near the bottom-right corner, outside the old screen's size.
    TPtr<CPRenderObject> square = Quad(Material(kSceneLayer), 52.0f, 36.0f, 60.0f, 44.0f, kWhite);
    Render().SetLayerCamera(kSceneLayer, PixelCamera());
    const CapturedFrame frame = Drawn([&] { Block().AddRenderObject(square); });
    ASSERT_EQ(frame.width, 2 * kWidth);
    EXPECT_TRUE(ColourNear(kWhite, frame.Pixel(112, 80)));
    EXPECT_GE(Green(frame.Pixel(100, 80)), kSpread);
    EXPECT_TRUE(ColourNear(kBlack, frame.Pixel(20, 20), 0));
}

class BloomWithoutEffectsTest : public BloomTest {
protected:
    void SetUp() override {
        m_effects = false;
        BloomTest::SetUp();
    }
};

TEST_F(BloomWithoutEffectsTest, MissingEffectsLeaveTheFrameAsItIs) {
    EXPECT_TRUE(Render().IsBloomActive());
    EXPECT_FALSE(Render().GetBloom().IsReady());
    const CapturedFrame frame = DrawSquare(kSceneLayer);
    ASSERT_FALSE(frame.pixels.empty());
    EXPECT_TRUE(ColourNear(kWhite, frame.Pixel(kMiddleX, kMiddleY)));
    EXPECT_TRUE(ColourNear(kBlack, frame.Pixel(kBesideX, kBesideY), 0));
}

}  // namespace
}  // namespace rendertest
