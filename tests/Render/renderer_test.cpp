// The renderer's frame: lights, fade, statistics text, debug lines, device reset and resize.
#include <gtest/gtest.h>

#include <SDL.h>

#include "Render/PDeviceObject.h"
#include "Render/PGameObject.h"
#include "core/SettingsVariables.h"
#include "support/AllocationCounter.h"
#include "platform/Window.h"
#include "renderer_fixture.h"

namespace rendertest {
namespace {

using platform::gfx::Light;
using platform::gfx::LightType;

// A directional light shining straight into the screen.
Light Directional(float red, float green, float blue) {
    Light light{};
    light.type = LightType::Directional;
    light.diffuse = {red, green, blue, 1.0f};
    light.direction = {0.0f, 0.0f, 1.0f};
    return light;
}

// A device object that hands the renderer a light whenever the device is reset, as the level
// does.
class LightOnReset : public IPDeviceObject {
public:
    void OnLostDevice() override {}
    void OnResetDevice() override { GetRender()->AddLight(Directional(1.0f, 0.0f, 0.0f)); }
};

class RendererFrameTest : public RendererTest {
protected:
    // The lit quad's centre in a frame with these lights.
    uint32_t LitCentre(const std::vector<Light>& lights) {
        Render().SetLayerCamera(40, PixelCamera());
        TPtr<CPRenderObject> quad = FullScreenQuad(Material(40, kLit), kWhite);
        const CapturedFrame frame = Drawn([&] {
            for (const Light& light : lights) Render().AddLight(light);
            Block().AddRenderObject(quad);
        });
        EXPECT_FALSE(frame.pixels.empty());
        return frame.pixels.empty() ? 0 : frame.Pixel(kMiddleX, kMiddleY);
    }

    static int Red(uint32_t colour) { return static_cast<int>((colour >> 16) & 0xFF); }
};

TEST_F(RendererFrameTest, TheThirtyFirstLightOfAFrameIsIgnored) {
    const std::vector<Light> dark(CPRender::kMaxLights, Directional(0.0f, 0.0f, 0.0f));
    const uint32_t unlit = LitCentre(dark);

    std::vector<Light> firstIsRed = dark;
    firstIsRed.front() = Directional(1.0f, 0.0f, 0.0f);
    const uint32_t lit = LitCentre(firstIsRed);
    EXPECT_GT(Red(lit), Red(unlit) + 50) << "a red light in the first slot shows";

    std::vector<Light> thirtyFirstIsRed = dark;
    thirtyFirstIsRed.push_back(Directional(1.0f, 0.0f, 0.0f));
    EXPECT_TRUE(ColourNear(unlit, LitCentre(thirtyFirstIsRed)));
}

TEST_F(RendererFrameTest, HalfFadeOverWhiteReads128) {
    TPtr<CPRenderObject> quad = FullScreenQuad(Material(200), kWhite);
    Render().SetFade(0.5f);
    const CapturedFrame frame = Drawn([&] { Block().AddRenderObject(quad); });
    ASSERT_FALSE(frame.pixels.empty());
    EXPECT_TRUE(ColourNear(0xFF808080u, frame.Pixel(kMiddleX, kMiddleY)));
    EXPECT_TRUE(ColourNear(0xFF808080u, frame.Pixel(1, 1)));
    EXPECT_TRUE(ColourNear(0xFF808080u, frame.Pixel(kWidth - 2, kHeight - 2)));
}

struct FadeCase {
    float level;
    uint32_t overWhite;
};

class FadeLevelTest : public RendererTest, public ::testing::WithParamInterface<FadeCase> {};

TEST_P(FadeLevelTest, FadeLevelsOutsideTheRangeCountAsItsEnds) {
    TPtr<CPRenderObject> quad = FullScreenQuad(Material(200), kWhite);
    Render().SetFade(GetParam().level);
    const CapturedFrame frame = Drawn([&] { Block().AddRenderObject(quad); });
    ASSERT_FALSE(frame.pixels.empty());
    EXPECT_TRUE(ColourNear(GetParam().overWhite, frame.Pixel(kMiddleX, kMiddleY)));
}

INSTANTIATE_TEST_SUITE_P(Levels, FadeLevelTest,
                         ::testing::Values(FadeCase{1.0f, kWhite}, FadeCase{3.0f, kWhite}, FadeCase{0.0f, kBlack},
                                           FadeCase{-2.0f, kBlack}, FadeCase{0.25f, 0xFF404040u}));

TEST_F(RendererFrameTest, TheStatisticsTextLiesUnderTheFade) {
    g_statistic = 1;
    auto textPixels = [](const CapturedFrame& frame) {
        int count = 0;
        for (int32_t y = 0; y < 32; ++y) {
            for (int32_t x = 20; x < kWidth; ++x) count += ColourNear(0xFFFFE040u, frame.Pixel(x, y)) ? 1 : 0;
        }
        return count;
    };
    const CapturedFrame shown = Frame();
    ASSERT_FALSE(shown.pixels.empty());
    EXPECT_GT(textPixels(shown), 20) << "the text is drawn in bright yellow";
    EXPECT_TRUE(ColourNear(kBlack, shown.Pixel(5, 5))) << "left of the text";

    Render().SetFade(0.0f);
    const CapturedFrame faded = Frame();
    ASSERT_FALSE(faded.pixels.empty());
    EXPECT_EQ(textPixels(faded), 0);
}

TEST_F(RendererFrameTest, DebugLinesAreDrawnAfterLayer20AndLastOneFrame) {
    Render().SetLayerCamera(20, PixelCamera());
    TPtr<CPRenderObject> corner = Quad(Material(20), 0.0f, 0.0f, 1.0f, 1.0f, kBlack);
    auto line = [&] { Render().AddLine(kGreen, {0.0f, 24.0f, 0.5f}, {64.0f, 24.0f, 0.5f}); };
    const CapturedFrame drawn = Drawn([&] {
        line();
        Block().AddRenderObject(corner);
    });
    ASSERT_FALSE(drawn.pixels.empty());
    EXPECT_TRUE(ColourNear(kGreen, drawn.Pixel(kMiddleX, 24)));

    const CapturedFrame next = Frame([&] { Block().AddRenderObject(corner); });
    ASSERT_FALSE(next.pixels.empty());
    EXPECT_TRUE(ColourNear(kBlack, next.Pixel(kMiddleX, 24)));
}

// An effect that leaves the texture stages alone draws textured after a frame with debug lines.
TEST_F(RendererFrameTest, DebugLinesLeaveTheStatesAsTheyFoundThem) {
    WriteEffect("stagesunset.fx", "texture tex0;\ntechnique { pass { Lighting = false; CullMode = None; } }\n");
    WriteTexture("blue.tga", kBlue);
    Render().SetLayerCamera(20, PixelCamera());
    TPtr<CPRenderObject> corner = Quad(Material(20), 0.0f, 0.0f, 1.0f, 1.0f, kBlack);
    TPtr<CPRenderObject> quad =
        FullScreenQuad(GetMaterialManager()->GetMaterial(40, "stagesunset.fx", {"blue.tga"}), kWhite);
    const auto handOver = [&](bool withLine) {
        return [&, withLine] {
            if (withLine) Render().AddLine(kGreen, {0.0f, 2.0f, 0.5f}, {64.0f, 2.0f, 0.5f});
            Block().AddRenderObject(corner);
            Block().AddRenderObject(quad);
        };
    };
    const CapturedFrame before = Drawn(handOver(false));
    ASSERT_FALSE(before.pixels.empty());
    ASSERT_TRUE(ColourNear(kBlue, before.Pixel(kMiddleX, kMiddleY))) << "the texture modulates the white quad";
    Frame(handOver(true));
    const CapturedFrame after = Frame(handOver(false));
    ASSERT_FALSE(after.pixels.empty());
    EXPECT_TRUE(ColourNear(kBlue, after.Pixel(kMiddleX, kMiddleY)));
    EXPECT_EQ(Render().GetDevice()->GetRenderState(platform::gfx::RenderState::ZEnable), 1u);
}

TEST_F(RendererFrameTest, DebugLinesAreNotDrawnWhenASecondCameraLayerCameFirst) {
    Render().SetLayerCamera(19, PixelCamera());
    Render().SetLayerCamera(20, PixelCamera());
    TPtr<CPRenderObject> corner = Quad(Material(20), 0.0f, 0.0f, 1.0f, 1.0f, kBlack);
    const CapturedFrame frame = Drawn([&] {
        Render().AddLine(kGreen, {0.0f, 24.0f, 0.5f}, {64.0f, 24.0f, 0.5f});
        Block().AddRenderObject(corner);
    });
    ASSERT_FALSE(frame.pixels.empty());
    EXPECT_TRUE(ColourNear(kBlack, frame.Pixel(kMiddleX, 24)));
}

TEST_F(RendererFrameTest, DebugLinesOfAFrameWithoutLayer20AreNotKeptForLater) {
    Render().SetLayerCamera(20, PixelCamera());
    TPtr<CPRenderObject> corner = Quad(Material(20), 0.0f, 0.0f, 1.0f, 1.0f, kBlack);
    for (int frame = 0; frame < 3; ++frame) {
        Frame([&] { Render().AddLine(kGreen, {0.0f, 24.0f, 0.5f}, {64.0f, 24.0f, 0.5f}); });
    }
    // Layer 20 is drawn from here on, but nobody queues lines any more.
    const CapturedFrame later = Drawn([&] { Block().AddRenderObject(corner); });
    ASSERT_FALSE(later.pixels.empty());
    EXPECT_TRUE(ColourNear(kBlack, later.Pixel(kMiddleX, 24)));
}

TEST_F(RendererFrameTest, AfterAResetTheLightsOfTheFrameAreNotDoubled) {
    LightOnReset level;
    Render().ResetDevice();
    EXPECT_EQ(Render().GetLightCount(), 0) << "lights handed over during the reset are dropped";
    Render().AddLight(Directional(1.0f, 0.0f, 0.0f));  // the level's light of the frame
    EXPECT_EQ(Render().GetLightCount(), 1);
}

TEST_F(RendererFrameTest, DrawingSurvivesASimulatedDeviceLoss) {
    TPtr<CPRenderObject> quad = FullScreenQuad(Material(200), kWhite);
    auto handOver = [&] { Block().AddRenderObject(quad); };
    ASSERT_TRUE(ColourNear(kWhite, Drawn(handOver).Pixel(kMiddleX, kMiddleY)));

    IPDeviceObject::BroadcastLostDevice();  // what a lost device takes: the default-pool buffers
    for (int frame = 0; frame < 3; ++frame) {
        Render().AddLight(Directional(1.0f, 1.0f, 1.0f));
        EXPECT_TRUE(Frame(handOver).pixels.empty()) << "a lost device draws nothing";
        EXPECT_EQ(Render().GetLightCount(), 0) << "a skipped frame lets go of its lights";
        EXPECT_EQ(quad->GetRefCount(), 1) << "and of its objects";
    }

    Render().ResetDevice();
    const CapturedFrame after = Drawn(handOver);
    ASSERT_FALSE(after.pixels.empty());
    EXPECT_TRUE(ColourNear(kWhite, after.Pixel(kMiddleX, kMiddleY)));
}

TEST_F(RendererFrameTest, DrawingSurvivesAResize) {
    TPtr<CPRenderObject> leftHalf = Quad(Material(200), 0.0f, 0.0f, kWidth / 2, kHeight, kWhite);
    auto handOver = [&] { Block().AddRenderObject(leftHalf); };
    Render().SetFade(0.5f);
    ASSERT_FALSE(Drawn(handOver).pixels.empty());

    SDL_SetWindowSize(static_cast<SDL_Window*>(GetWindow().Handle()), 2 * kWidth, 2 * kHeight);
    ASSERT_EQ(GetWindow().ClientWidth(), 2 * kWidth);
    EXPECT_TRUE(Frame(handOver).pixels.empty()) << "not drawn before the window procedure resets the device";

    Render().ResetDevice();
    const CapturedFrame frame = Drawn(handOver);
    ASSERT_EQ(frame.width, 2 * kWidth);
    ASSERT_EQ(frame.height, 2 * kHeight);
    EXPECT_TRUE(ColourNear(0xFF808080u, frame.Pixel(kWidth / 2, kHeight))) << "the screen layer scales to the window";
    EXPECT_TRUE(ColourNear(kBlack, frame.Pixel(3 * kWidth / 2, kHeight)));
    EXPECT_TRUE(ColourNear(0xFF808080u, frame.Pixel(kWidth - 2, 2 * kHeight - 1))) << "the fade covers the window";
}

TEST_F(RendererFrameTest, AResetBringsBackTheDeviceStates) {
    platform::gfx::Device& device = *Render().GetDevice();
    device.SetRenderState(platform::gfx::RenderState::CullMode, platform::gfx::CullMode::None);
    device.SetRenderState(platform::gfx::RenderState::Ambient, 0u);
    Render().ResetDevice();
    EXPECT_EQ(device.GetRenderState(platform::gfx::RenderState::CullMode),
              static_cast<uint32_t>(platform::gfx::CullMode::CCW));
    EXPECT_EQ(device.GetRenderState(platform::gfx::RenderState::Ambient), 0xFF969696u);
    EXPECT_EQ(device.GetSamplerState(0, platform::gfx::SamplerState::MinFilter),
              static_cast<uint32_t>(platform::gfx::TextureFilter::Linear));
}

TEST_F(RendererFrameTest, TheAnisotropyOfTheSettingsOutlastsAReset) {
    Render().Stop();
    g_aniso = 2;
    ASSERT_TRUE(Render().Start());
    Render().ResetDevice();
    EXPECT_EQ(Render().GetDevice()->GetSamplerState(0, platform::gfx::SamplerState::MaxAnisotropy),
              std::min(2u, static_cast<uint32_t>(Render().GetDevice()->Caps().maxAnisotropy)));
    g_aniso = 0;
}

// Handing over is per-object work of every frame. (The draws themselves allocate inside the GL
// driver, which the sanitizer's counter cannot tell apart.)
TEST_F(RendererFrameTest, HandingOverTheSameSceneAgainAllocatesNothing) {
    Render().SetLayerCamera(20, PixelCamera());
    TPtr<CPRenderObject> scene = FullScreenQuad(Material(20), kWhite);
    TPtr<CPGameObject> tree(new CPGameObject("tree"));
    tree->SetAttachment(CPGameObject::kMesh, Quad(Material(200), 0.0f, 0.0f, 8.0f, 8.0f, kRed));
    TPtr<CPGameObject> leaf(new CPGameObject("leaf"));
    leaf->SetAttachment(CPGameObject::kMesh, Quad(Material(21), 8.0f, 8.0f, 16.0f, 16.0f, kBlue));
    ASSERT_TRUE(tree->AddChild(leaf));
    auto handOver = [&] {
        Render().AddLight(Directional(1.0f, 1.0f, 1.0f));
        Render().AddLine(kGreen, {0.0f, 0.0f, 0.5f}, {8.0f, 8.0f, 0.5f});
        Block().AddRenderObject(scene);
        Block().AddObjectTree(tree);
    };
    for (int frame = 0; frame < 3; ++frame) Frame(handOver);

    testsupport::ResetCountedAllocations();
    for (int frame = 0; frame < 5; ++frame) {
        testsupport::SetCountingAllocations(true);
        handOver();
        testsupport::SetCountingAllocations(false);
        Render().Update();
    }
    EXPECT_EQ(testsupport::CountedAllocations(), 0);
}

TEST_F(RendererFrameTest, AnAnisotropyBeyondTheDevicesIsLoweredInTheSettingsToo) {
    Render().Stop();
    g_aniso = 1000;
    ASSERT_TRUE(Render().Start());
    const int32_t maximum = Render().GetDevice()->Caps().maxAnisotropy;
    EXPECT_EQ(g_aniso, maximum);
    EXPECT_EQ(Render().GetDevice()->GetSamplerState(1, platform::gfx::SamplerState::MaxAnisotropy),
              static_cast<uint32_t>(maximum));
    g_aniso = 0;
}

struct MultisampleCase {
    bool fullScreen;
    int32_t fsaa;
    int32_t quality;
    int32_t samples;
};

class MultisampleTest : public ::testing::TestWithParam<MultisampleCase> {};

TEST_P(MultisampleTest, TheSettingsChooseTheSamplesOfAFullScreenBackBuffer) {
    g_fsaa = GetParam().fsaa;
    g_quality = GetParam().quality;
    EXPECT_EQ(CPRender::MultisampleFromSettings(GetParam().fullScreen), GetParam().samples);
    g_fsaa = 0;
    g_quality = 0;
}

INSTANTIATE_TEST_SUITE_P(Settings, MultisampleTest,
                         ::testing::Values(MultisampleCase{false, 1, 2, 0}, MultisampleCase{true, 0, 2, 0},
                                           MultisampleCase{true, 1, 0, 0}, MultisampleCase{true, 1, 1, 4},
                                           MultisampleCase{true, 1, 2, 8}, MultisampleCase{true, 1, 5, 16}));

}  // namespace
}  // namespace rendertest
