// The video player: pictures of Data\Video shown in the built-in texture "video" at the times
// the game's clock reaches them, "video_end" once at the end, and videos that cannot be played
// failing at once without touching the texture.
#include <gtest/gtest.h>
#include <lua.hpp>

#include <cmath>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "Render/PAVIPlayer.h"
#include "Render/PTextureCache.h"
#include "core/PGlobalTimer.h"
#include "core/Result.h"
#include "core/SettingsVariables.h"
#include "platform/PathResolver.h"
#include "platform/VideoStream.h"
#include "platform/VideoWriter.h"
#include "platform/gfx/Texture.h"
#include "renderer_fixture.h"
#include "script/PLuaScript.h"
#include "script/PScriptManager.h"

namespace rendertest {
namespace {

constexpr int32_t kScreenLayer = 200;
constexpr char kTexturedEffect[] = "textured.fx";
// Red, green and blue seconds at ten pictures a second, as large as the test window.
const std::vector<uint32_t> kColours = {0xFF0000u, 0x00FF00u, 0x0000FFu};
constexpr float kFrameDelta = 0.05f;
// Theora keeps colours to a few steps.
constexpr int kVideoTolerance = 24;

// The interface script that counts the "video_end" commands it hears.
constexpr char kScreenScript[] = R"(
ends = 0
while true do
    while SetNextCommand(globalObject) do
        if GetCurrentCommand(globalObject) == "video_end" then ends = ends + 1 end
    end
    Update()
end
)";

class VideoPlayerTest : public RendererTest {
protected:
    void PrepareFolder() override {
        RendererTest::PrepareFolder();
        g_screenBPP = 32;
        WriteEffect(kTexturedEffect, R"(
texture tex0;
technique Textured { pass { Lighting = false; CullMode = None; ZEnable = false;
    ColorOp[0] = SelectArg1; ColorArg1[0] = Texture; MinFilter[0] = Point; MagFilter[0] = Point; } }
)");
        std::filesystem::create_directories("data/video");
        WriteVideo("colours.ogg", kColours);
    }
    void TearDown() override {
        m_scripts.reset();
        RendererTest::TearDown();
        g_screenBPP = 16;
        g_frameDelta = 0.0f;
    }

    static void WriteVideo(const std::string& name, const std::vector<uint32_t>& colours, uint32_t width = kWidth,
                           uint32_t height = kHeight) {
        platform::ColourVideo video;
        video.colours = colours;
        video.width = width;
        video.height = height;
        std::string error;
        ASSERT_TRUE(platform::WriteColourVideo("data/video/" + name, video, error)) << error;
        platform::InvalidateListings();
    }

    CPAVIPlayer& Player() { return *GetAVIPlayer(); }
    TPtr<CPTexture> VideoTexture() { return GetTextureCache()->GetTexture("video", true); }

    // An interface script, started, that counts "video_end".
    TPtr<CPLuaScript> StartScreenScript() {
        std::filesystem::create_directories("data/scripts");
        std::ofstream("data/scripts/list.dat") << "screen t_interface interface\n";
        std::ofstream("data/scripts/screen.lua") << kScreenScript;
        platform::InvalidateListings();
        m_scripts = std::make_unique<CPScriptManager>();
        EXPECT_TRUE(m_scripts->LoadList());
        TPtr<CPLuaScript> script = m_scripts->GetScript("screen");
        EXPECT_TRUE(script && script->Start());
        return script;
    }

    // One pass of the game: the player, then the script.
    void Pass(const TPtr<CPLuaScript>& script) {
        g_frameDelta = kFrameDelta;
        Player().Update();
        if (script) script->Update();
    }

    // The frame with the video's picture over the whole screen: the part of the texture the
    // picture fills, stretched over the screen (all of the texture when whole is set).
    CapturedFrame DrawVideo(bool whole = false) {
        const platform::gfx::Texture* texture = VideoTexture()->GetTexture();
        const float u = whole || !texture ? 1.0f : static_cast<float>(kWidth) / static_cast<float>(texture->Width());
        const float v = whole || !texture ? 1.0f : static_cast<float>(kHeight) / static_cast<float>(texture->Height());
        TPtr<CPMaterial> material = GetMaterialManager()->GetMaterial(kScreenLayer, kTexturedEffect, {"video"});
        TPtr<CPRenderObject> quad = Quad(material, 0.0f, 0.0f, kWidth, kHeight, kWhite);
        const PVector2 corners[4] = {{0.0f, 0.0f}, {u, 0.0f}, {u, v}, {0.0f, v}};
        for (size_t i = 0; i < 4; ++i) quad->GetVertices()[i].tex0 = quad->GetWorldVertices()[i].tex0 = corners[i];
        return Drawn([&] { Block().AddRenderObject(quad); });
    }

    static double GlobalEnds(const TPtr<CPLuaScript>& script) {
        lua_getglobal(script->GetState(), "ends");
        const double ends = lua_tonumber(script->GetState(), -1);
        lua_pop(script->GetState(), 1);
        return ends;
    }

    std::unique_ptr<CPScriptManager> m_scripts;
};

TEST_F(VideoPlayerTest, PicturesFollowTheGameClockAndTheEndIsToldOnce) {
    TPtr<CPLuaScript> screen = StartScreenScript();
    ASSERT_EQ(Player().Play("colours.ogg"), S_OK);
    ASSERT_TRUE(Player().Start());
    double time = 0.0;
    // Each second's colour from a tenth of a second (one picture) after it starts to just before
    // it ends.
    for (size_t second = 0; second < kColours.size(); ++second) {
        while (time + kFrameDelta < second + 0.1) {
            Pass(screen);
            time += kFrameDelta;
        }
        for (; time + kFrameDelta < second + 0.95; time += kFrameDelta) {
            Pass(screen);
            const CapturedFrame frame = DrawVideo();
            ASSERT_FALSE(frame.pixels.empty());
            ASSERT_TRUE(ColourNear(0xFF000000u | kColours[second], frame.Pixel(kMiddleX, kMiddleY), kVideoTolerance))
                << "at " << time + kFrameDelta << " s";
        }
        EXPECT_TRUE(Player().IsPlaying()) << "at " << time << " s";
        EXPECT_EQ(GlobalEnds(screen), 0.0);
    }
    // The last picture ends at 3 s; a few more passes tell the end once and no more.
    for (int i = 0; i < 10; ++i) Pass(screen);
    EXPECT_FALSE(Player().IsPlaying());
    EXPECT_EQ(GlobalEnds(screen), 1.0);
    EXPECT_TRUE(ColourNear(0xFF0000FFu, DrawVideo().Pixel(kMiddleX, kMiddleY), kVideoTolerance));
}

TEST_F(VideoPlayerTest, PlayingAnotherVideoWhilePlayingSwitchesToIt) {
    WriteVideo("yellow.ogg", {0xFFFF00u});
    ASSERT_EQ(Player().Play("colours.ogg"), S_OK);
    ASSERT_TRUE(Player().Start());
    for (int i = 0; i < 5; ++i) Pass(nullptr);
    // What PlayVideo does while the player is in the kernel: Play, then the kernel's Start.
    ASSERT_EQ(Player().Play("yellow.ogg"), S_OK);
    Player().Start();
    for (int i = 0; i < 5; ++i) Pass(nullptr);
    EXPECT_TRUE(Player().IsPlaying());
    EXPECT_TRUE(ColourNear(0xFFFFFF00u, DrawVideo().Pixel(kMiddleX, kMiddleY), kVideoTolerance));
}

TEST_F(VideoPlayerTest, DrawingAndPicturesGoOnAcrossADeviceReset) {
    ASSERT_EQ(Player().Play("colours.ogg"), S_OK);
    ASSERT_TRUE(Player().Start());
    for (int i = 0; i < 10; ++i) Pass(nullptr);
    Render().ResetDevice();
    for (int i = 0; i < 16; ++i) Pass(nullptr);  // 1.3 s
    const CapturedFrame frame = DrawVideo();
    ASSERT_FALSE(frame.pixels.empty());
    EXPECT_TRUE(ColourNear(0xFF00FF00u, frame.Pixel(kMiddleX, kMiddleY), kVideoTolerance));
}

TEST_F(VideoPlayerTest, AVideoDamagedInTheMiddlePlaysOnAndEndsOnce) {
    TPtr<CPLuaScript> screen = StartScreenScript();
    {
        std::fstream file("data/video/colours.ogg", std::ios::in | std::ios::out | std::ios::binary);
        file.seekg(0, std::ios::end);
        const std::streamoff size = file.tellg();
        file.seekp(size * 2 / 3);
        const std::string garbage(static_cast<size_t>(size / 6), '\x55');
        file.write(garbage.data(), static_cast<std::streamsize>(garbage.size()));
    }
    ASSERT_EQ(Player().Play("colours.ogg"), S_OK);
    ASSERT_TRUE(Player().Start());
    for (int i = 0; i < 80 && Player().IsPlaying(); ++i) Pass(screen);  // up to 4 s
    EXPECT_FALSE(Player().IsPlaying());
    Pass(screen);
    EXPECT_EQ(GlobalEnds(screen), 1.0);
}

struct BrokenVideo {
    const char* label;
    const char* file;     // written under data/video, or null
    const char* content;  // null: a folder of that name
};

class BrokenVideoTest : public VideoPlayerTest, public ::testing::WithParamInterface<BrokenVideo> {};

TEST_P(BrokenVideoTest, PlayFailsAtOnceAndVideoStaysTheBuiltInTexture) {
    if (GetParam().file) {
        if (GetParam().content) {
            std::ofstream(std::string("data/video/") + GetParam().file, std::ios::binary) << GetParam().content;
        } else {
            std::filesystem::create_directories(std::string("data/video/") + GetParam().file);
        }
        platform::InvalidateListings();
    }
    // A video played before, so the texture cache showed one.
    ASSERT_EQ(Player().Play("colours.ogg"), S_OK);
    ASSERT_EQ(VideoTexture()->GetName(), "VIDEO");

    EXPECT_EQ(Player().Play(GetParam().file ? GetParam().file : "missing.ogg"), E_FAIL);
    EXPECT_EQ(VideoTexture()->GetTexture(), nullptr);
    EXPECT_EQ(VideoTexture()->GetName(), "video");
    EXPECT_TRUE(Player().Start());
    Pass(nullptr);
    EXPECT_FALSE(Player().IsPlaying());
    // The built-in texture samples white.
    EXPECT_TRUE(ColourNear(kWhite, DrawVideo(true).Pixel(kMiddleX, kMiddleY)));
}

INSTANTIATE_TEST_SUITE_P(
    Files, BrokenVideoTest,
    ::testing::Values(BrokenVideo{"Missing", nullptr, nullptr}, BrokenVideo{"Empty", "empty.ogg", ""},
                      BrokenVideo{"Text", "text.ogg", "not a video at all\n"},
                      BrokenVideo{"TruncatedOgg", "cut.ogg", "OggS\0\x02\0\0"},
                      BrokenVideo{"Folder", "folder.ogg", nullptr}),
    [](const ::testing::TestParamInfo<BrokenVideo>& info) { return info.param.label; });

struct DepthCase {
    int32_t bits;
    platform::gfx::Format format;
};

class VideoDepthTest : public VideoPlayerTest, public ::testing::WithParamInterface<DepthCase> {};

TEST_P(VideoDepthTest, TheTextureFollowsScreenBppAndHoldsThePicturesColours) {
    g_screenBPP = GetParam().bits;
    WriteVideo("wide.ogg", {0x00FF00u}, 320, 240);
    ASSERT_EQ(Player().Play("wide.ogg"), S_OK);
    const platform::gfx::Texture* texture = Player().GetTexture();
    ASSERT_NE(texture, nullptr);
    EXPECT_EQ(texture->GetFormat(), GetParam().format);
    EXPECT_EQ(texture->Width(), 512u);
    EXPECT_EQ(texture->Height(), 256u);
    ASSERT_TRUE(Player().Start());
    Pass(nullptr);
    // The picture fills the top-left 320 × 240 of the texture; the rest stays black.
    const CapturedFrame frame = DrawVideo(true);
    ASSERT_FALSE(frame.pixels.empty());
    EXPECT_TRUE(ColourNear(0xFF00FF00u, frame.Pixel(kWidth / 4, kHeight / 2), kVideoTolerance));
    EXPECT_TRUE(ColourNear(kBlack, frame.Pixel(kWidth * 7 / 8, kHeight / 2), 0));
    EXPECT_TRUE(ColourNear(kBlack, frame.Pixel(kWidth / 4, kHeight - 2), 0));

    // Another video of the same rounded size keeps the texture.
    WriteVideo("wide2.ogg", {0x0000FFu}, 300, 200);
    ASSERT_EQ(Player().Play("wide2.ogg"), S_OK);
    EXPECT_EQ(Player().GetTexture(), texture);
}

INSTANTIATE_TEST_SUITE_P(Depths, VideoDepthTest,
                         ::testing::Values(DepthCase{32, platform::gfx::Format::X8R8G8B8},
                                           DepthCase{16, platform::gfx::Format::R5G6B5}),
                         [](const ::testing::TestParamInfo<DepthCase>& info) {
                             return std::to_string(info.param.bits) + "Bits";
                         });

TEST_F(VideoPlayerTest, APictureLargerThanTheTextureIsShrunkIntoIt) {
    ASSERT_EQ(Player().Play("colours.ogg"), S_OK);  // a 128 × 64 texture
    std::vector<uint32_t> pixels(300u * 200u, 0xFFFF0000u);
    platform::VideoFrame picture;
    picture.pixels = reinterpret_cast<const uint8_t*>(pixels.data());
    picture.width = 300;
    picture.height = 200;
    picture.pitch = 300 * 4;
    ASSERT_TRUE(Player().ShowPicture(picture));
    // 300 × 200 shrinks to 96 × 64 at the left of the 128 × 64 texture.
    const CapturedFrame frame = DrawVideo(true);
    ASSERT_FALSE(frame.pixels.empty());
    EXPECT_TRUE(ColourNear(kRed, frame.Pixel(kWidth / 2, kHeight / 2)));
    EXPECT_TRUE(ColourNear(kBlack, frame.Pixel(kWidth - 4, kHeight / 2), 0));
}

}  // namespace
}  // namespace rendertest
