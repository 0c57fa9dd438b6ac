// The video player: pictures of Data\Video shown in the built-in texture "video" at the times
// the video's own clock reaches them, "video_end" once at the end, and videos that cannot be
// played failing at once without touching the texture.
#include <gtest/gtest.h>
#include <lua.hpp>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <filesystem>
#include <functional>
#include <fstream>
#include <string>
#include <thread>
#include <vector>

#include "Render/PAVIPlayer.h"
#include "Render/PTextureCache.h"
#include "core/PGlobalTimer.h"
#include "core/Result.h"
#include "core/SettingsVariables.h"
#include "platform/InputTape.h"
#include "platform/PathResolver.h"
#include "platform/VideoStream.h"
#include "platform/VideoWriter.h"
#include "platform/gfx/Texture.h"
#include "renderer_fixture.h"
#include "script/PLuaScript.h"
#include "support/RunningScripts.h"

namespace rendertest {
namespace {

constexpr int32_t kScreenLayer = 200;
constexpr char kTexturedEffect[] = "textured.fx";
// Red, green and blue seconds at ten pictures a second, as large as the test window.
const std::vector<uint32_t> kColours = {0xFF0000u, 0x00FF00u, 0x0000FFu};
constexpr float kFrameDelta = 0.05f;
// How long a test waits, on the wall clock, for what a playing video should show: far longer than
// the videos last, so that only a video that never shows it fails, however busy the machine.
constexpr std::chrono::seconds kPatience(120);
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
        g_frameDelta = kFrameDelta;
    }
    void TearDown() override {
        platform::GetInputTape().Stop();
        m_scripts.Stop();
        RendererTest::TearDown();
        g_screenBPP = 16;
        g_frameDelta = 0.0f;
        g_soundVolume = m_soundVolume;
    }

    static void WriteVideo(const std::string& name, const std::vector<uint32_t>& colours, uint32_t width = kWidth,
                           uint32_t height = kHeight, bool timed = true) {
        platform::ColourVideo video;
        video.colours = colours;
        video.width = width;
        video.height = height;
        video.timed = timed;
        std::string error;
        ASSERT_TRUE(platform::WriteColourVideo("data/video/" + name, video, error)) << error;
        platform::InvalidateListings();
    }

    CPAVIPlayer& Player() { return *GetAVIPlayer(); }
    TPtr<CPTexture> VideoTexture() { return GetTextureCache()->GetTexture("video", true); }

    // An interface script, started, that counts "video_end".
    TPtr<CPLuaScript> StartScreenScript() {
        EXPECT_TRUE(m_scripts.Start({"screen t_interface interface"}, kScreenScript));
        return TPtr<CPLuaScript>(&m_scripts["screen"]);
    }

    // One pass of the game: the player, then the script.
    void Pass(const TPtr<CPLuaScript>& script) {
        Player().Update();
        if (script) script->Update();
    }

    // Passes a few milliseconds apart until the condition holds after one; false when it did not
    // within kPatience.
    bool PassUntil(const std::function<bool()>& condition, const TPtr<CPLuaScript>& script = nullptr) {
        const auto end = std::chrono::steady_clock::now() + kPatience;
        while (std::chrono::steady_clock::now() < end) {
            Pass(script);
            if (condition()) return true;
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
        }
        return false;
    }

    // Whether the middle of the drawn video shows the colour (0xRRGGBB).
    bool Shows(uint32_t colour) { return FrameShows(DrawVideo(), colour); }
    static bool FrameShows(const CapturedFrame& frame, uint32_t colour) {
        return !frame.pixels.empty() &&
               ColourNear(0xFF000000u | colour, frame.Pixel(kMiddleX, kMiddleY), kVideoTolerance);
    }

    bool ShowsOneOf(const std::vector<uint32_t>& colours) {
        return std::any_of(colours.begin(), colours.end(), [&](uint32_t colour) { return Shows(colour); });
    }

    // Plays the video to its end, drawing after every pass; the colours of kColours seen, each
    // once in the order first seen, and the passes it took.
    std::vector<uint32_t> ColoursUntilTheEnd(const TPtr<CPLuaScript>& script, int& passes) {
        std::vector<uint32_t> seen;
        passes = 0;
        PassUntil(
            [&] {
                ++passes;
                // One picture a pass: a pass stays short on a busy machine, and sees every second.
                const CapturedFrame frame = DrawVideo();
                for (uint32_t colour : kColours) {
                    if (FrameShows(frame, colour) && (seen.empty() || seen.back() != colour)) seen.push_back(colour);
                }
                return !Player().IsPlaying();
            },
            script);
        return seen;
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

    testsupport::RunningScripts m_scripts;
    const float m_soundVolume = g_soundVolume;
};

TEST_F(VideoPlayerTest, PicturesFollowTheVideosOwnClockWhileTheGameIsPausedAndTheEndIsToldOnce) {
    g_frameDelta = 0.0f;  // the frame timer stopped, as in a paused menu
    TPtr<CPLuaScript> screen = StartScreenScript();
    ASSERT_EQ(Player().Play("colours.ogg"), S_OK);
    const auto start = std::chrono::steady_clock::now();
    ASSERT_TRUE(Player().Start());
    int passes = 0;
    EXPECT_EQ(ColoursUntilTheEnd(screen, passes), kColours);
    const std::chrono::duration<double> played = std::chrono::steady_clock::now() - start;
    ASSERT_FALSE(Player().IsPlaying());
    EXPECT_GT(played.count(), 2.9) << "three seconds of video play in their time, not at once";
    // A few more passes tell the end once and no more.
    for (int i = 0; i < 10; ++i) Pass(screen);
    EXPECT_EQ(GlobalEnds(screen), 1.0);
    EXPECT_TRUE(Shows(kColours.back()));
}

// The stream's end follows the wall clock, so a replay takes it from the recording instead: the
// three-second video ends in the pass the recording saw it end, at once.
TEST_F(VideoPlayerTest, AReplayEndsTheVideoInTheRecordedPass) {
    platform::InputRecording recording;
    recording.passCount = 5;
    recording.events = {{2, platform::InputEvent::VideoEnded()}};
    platform::InputTape& tape = platform::GetInputTape();
    tape.StartReplay(recording);
    TPtr<CPLuaScript> screen = StartScreenScript();
    ASSERT_EQ(Player().Play("colours.ogg"), S_OK);
    ASSERT_TRUE(Player().Start());
    for (uint32_t pass = 0; pass < recording.passCount; ++pass) {
        tape.PumpPass();
        Pass(screen);
        EXPECT_EQ(Player().IsPlaying(), pass < 2) << "pass " << pass;
        EXPECT_EQ(GlobalEnds(screen), pass < 2 ? 0.0 : 1.0) << "pass " << pass;
    }
}

TEST_F(VideoPlayerTest, PicturesWithoutTimeStampsAreShownOneAPass) {
    // Ten pictures of each colour, without times: each pass shows at most the next one.
    WriteVideo("untimed.mjpg", kColours, kWidth, kHeight, false);
    TPtr<CPLuaScript> screen = StartScreenScript();
    ASSERT_EQ(Player().Play("untimed.mjpg"), S_OK);
    ASSERT_TRUE(Player().Start());
    Pass(screen);
    EXPECT_TRUE(Player().IsPlaying()) << "one pass does not decode the whole video";
    int passes = 0;
    EXPECT_EQ(ColoursUntilTheEnd(screen, passes), kColours);
    EXPECT_GE(passes, 29) << "thirty pictures take a pass each";
    Pass(screen);
    EXPECT_EQ(GlobalEnds(screen), 1.0);
}

TEST_F(VideoPlayerTest, PlayingAnotherVideoWhilePlayingSwitchesToIt) {
    WriteVideo("yellow.ogg", {0xFFFF00u});
    ASSERT_EQ(Player().Play("colours.ogg"), S_OK);
    ASSERT_TRUE(Player().Start());
    // On a busy machine the first second's pictures can come too late to be shown; any of the
    // video's colours shows that it plays.
    ASSERT_TRUE(PassUntil([&] { return ShowsOneOf(kColours); }));
    // What PlayVideo does while the player is in the kernel: Play, then the kernel's Start.
    ASSERT_EQ(Player().Play("yellow.ogg"), S_OK);
    Player().Start();
    EXPECT_TRUE(PassUntil([&] { return Shows(0xFFFF00u); }));
    EXPECT_TRUE(Player().IsPlaying());
}

TEST_F(VideoPlayerTest, DrawingAndPicturesGoOnAcrossADeviceReset) {
    ASSERT_EQ(Player().Play("colours.ogg"), S_OK);
    ASSERT_TRUE(Player().Start());
    ASSERT_TRUE(PassUntil([&] { return Shows(kColours[0]); }));
    Render().ResetDevice();
    EXPECT_TRUE(PassUntil([&] { return Shows(kColours[1]); }));
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
    EXPECT_TRUE(PassUntil([&] { return !Player().IsPlaying(); }, screen));
    Pass(screen);
    EXPECT_EQ(GlobalEnds(screen), 1.0);
}

TEST_F(VideoPlayerTest, TheSoundFollowsTheVolumeLaw) {
    // -7000 × (1 - volume)^4 hundredths of a decibel, truncated: 0, -437 and -7000; a setting
    // beyond 0 .. 1 (or none at all) is held to it.
    const struct {
        float volume;
        int32_t millibels;
    } cases[] = {{1.0f, 0}, {0.5f, -437}, {0.0f, -7000}, {30.0f, 0}, {-2.0f, -7000}, {std::nanf(""), -7000}};
    for (const auto& c : cases) {
        g_soundVolume = c.volume;
        ASSERT_EQ(Player().Play("colours.ogg"), S_OK);
        EXPECT_NEAR(Player().GetStream()->GetVolume(), std::pow(10.0, c.millibels / 2000.0), 1e-6) << c.volume;
    }
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
    // The picture fills the top-left 320 × 240 of the texture; the rest stays black.
    CapturedFrame frame;
    EXPECT_TRUE(PassUntil([&] {
        frame = DrawVideo(true);
        return !frame.pixels.empty() && ColourNear(0xFF00FF00u, frame.Pixel(kWidth / 4, kHeight / 2), kVideoTolerance);
    }));
    ASSERT_FALSE(frame.pixels.empty());
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
