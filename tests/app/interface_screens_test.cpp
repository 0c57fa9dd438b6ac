// Interface screens as the real program draws them (screenshots of the offscreen window): a text
// in the sample font lights the pixels of its glyphs and none elsewhere, while a text in a font
// that does not exist draws nothing; the HUD in the sample level shows the car's life, its
// weapon with the upgrade points, the mines, the super weapon with its marks, and the arrow at
// the screen's border toward the next check point.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "ProgramRun.h"
#include "WorkingFolder.h"
#include "game/LevelFile.h"
#include "interface/FontFiles.h"

namespace {

constexpr int kWidth = 640;
constexpr int kHeight = 480;

int Brightness(uint32_t pixel) {
    return std::max({static_cast<int>(pixel >> 16 & 0xFF), static_cast<int>(pixel >> 8 & 0xFF),
                     static_cast<int>(pixel & 0xFF)});
}

bool Near(uint32_t pixel, uint32_t colour) {
    for (int shift = 0; shift < 24; shift += 8) {
        if (std::abs(static_cast<int>(pixel >> shift & 0xFF) - static_cast<int>(colour >> shift & 0xFF)) > 12) {
            return false;
        }
    }
    return true;
}

uint32_t Grey(int level) { return static_cast<uint32_t>(level * 0x010101); }

class InterfaceScreensTest : public ::testing::Test {
protected:
    void SetUp() override { apptest::CopyGameFolder(VX_SAMPLE_DATA, m_folder.Path()); }

    // Runs the program until the frame is drawn and keeps its screenshot.
    void Shoot(int frame, const std::vector<std::pair<std::string, std::string>>& environment) {
        apptest::ProgramRun run;
        run.folder = m_folder.Path();
        const std::string shot = (m_folder.Path() / "shot.png").string();
        run.environment = {{"VX_FRAMES", std::to_string(frame + 2)},
                           {"VX_SCREENSHOT", shot + ":" + std::to_string(frame)},
                           {"VX_FRAME_TIME", "0.05"},
                           {"VX_LOG", "stderr"},
                           {"SDL_VIDEODRIVER", "offscreen"}};
        run.environment.insert(run.environment.end(), environment.begin(), environment.end());
        const apptest::ProgramResult result = apptest::RunProgram(run);
        ASSERT_EQ(result.exitCode, 0) << result.errors;
        std::string error;
        ASSERT_TRUE(apptest::ReadScreenshot(shot, m_image, error)) << error;
        ASSERT_EQ(m_image.width, static_cast<uint32_t>(kWidth));
        ASSERT_EQ(m_image.height, static_cast<uint32_t>(kHeight));
    }

    uint32_t Pixel(int x, int y) const {
        return reinterpret_cast<const uint32_t*>(m_image.levels[0].data())[y * kWidth + x] & 0xFFFFFFu;
    }

    apptest::WorkingFolder m_folder;
    SPImage m_image;
};

// A screen of two texts: "Vexmoor" in the sample font "text" at (100, 100), and the same in a
// font that does not exist at (100, 300), both centred on their x as every text starts. The script "main" shows it for the frames of VX_FRAMES.
constexpr char kTextScreen[] = R"(none
menu.tga,256,128
none,off
text
known text,100,100,Vexmoor,lu
text
unknown nosuch,100,300,Vexmoor,lu
)";
constexpr char kShowScreen[] = R"(local screen = CreateInterface("texts", 0)
ActivateInterface(screen)
local frames = 0
while true do
  while SetNextCommand(globalObject) do
    if GetCurrentCommand(globalObject) == "release_all" then
      DeactivateInterface(screen)
      Release(screen)
    end
  end
  UpdateInterface(screen)
  frames = frames + 1
  if frames >= tonumber(os.getenv("VX_FRAMES")) then KillAllTasks() end
  Update()
end
)";

TEST_F(InterfaceScreensTest, ATextInTheSampleFontLightsItsGlyphsAndNothingElse) {
    m_folder.Write("data/interface/texts1024.int", kTextScreen);
    m_folder.Write("data/scripts/main.lua", kShowScreen);
    Shoot(6, {});

    // Where the glyphs lie: the font's metrics as the build wrote them (scale 2, no spacing).
    const std::string metrics = apptest::ReadBytes(m_folder.Path() / "data/fonts/text.fnt");
    SPFontGlyphs glyphs;
    ASSERT_TRUE(ParseFontMetrics(metrics.data(), static_cast<int32_t>(metrics.size()), 2.0f, 0.0f, glyphs));
    const uint32_t background = Pixel(kWidth - 1, kHeight - 1);
    const auto lit = [&](int x, int y) { return Brightness(Pixel(x, y)) > Brightness(background) + 96; };
    // A layout's text starts centred on its x (and half a pixel on, like every layout position).
    const std::string text = "Vexmoor";
    float width = 0.0f;
    for (const char c : text) width += glyphs.advances[static_cast<uint8_t>(c)] - 2.0f;
    const int left = static_cast<int>(100.5f - width / 2.0f);
    float pen = 100.5f - width / 2.0f;
    for (const char c : text) {
        const auto code = static_cast<uint8_t>(c);
        // The glyph's quad holds white ink in the letter's shape, not a filled block.
        int ink = 0, area = 0, coloured = 0;
        for (int y = 100; y < 100 + static_cast<int>(glyphs.lineHeight); ++y) {
            for (int x = static_cast<int>(pen); x < static_cast<int>(pen + glyphs.advances[code]); ++x) {
                ++area;
                if (!lit(x, y)) continue;
                ++ink;
                coloured += !Near(Pixel(x, y), Grey(Brightness(Pixel(x, y))));
            }
        }
        EXPECT_GT(ink, 8) << "the glyph " << c;
        EXPECT_LT(ink, area / 2) << "the glyph " << c;
        EXPECT_EQ(coloured, 0) << "the glyph " << c;
        pen += glyphs.advances[code] - 2.0f;
    }
    // Nothing lit outside the text's box (a pixel of margin for the half-pixel placement): the
    // text in the unknown font below it draws nothing.
    const int right = static_cast<int>(pen) + 4;
    const int bottom = 100 + static_cast<int>(glyphs.lineHeight) + 1;
    int stray = 0;
    for (int y = 0; y < kHeight; ++y) {
        for (int x = 0; x < kWidth; ++x) {
            const bool inside = x >= left - 1 && x <= right && y >= 99 && y <= bottom;
            stray += !inside && Pixel(x, y) != background;
        }
    }
    EXPECT_EQ(stray, 0);
}

// The HUD on the sample level: the script "main" opens it when the level starts, and its script
// "gamemenu" refreshes and draws it every frame, and writes where the check-point arrow is. The
// car's set-up gives every part of the HUD something to show.
constexpr char kHudScript[] = R"(local hud = nil
while true do
  while SetNextCommand(globalObject) do
    local command, first = GetCurrentCommand(globalObject), GetCurrentParams(globalObject)
    if command == "add_object" then
      hud = StringToPointer(first)
      Release(hud)
    elseif command == "release_all" then
      hud = nil
    end
  end
  if hud then
    UpdateGameInterface(hud)
    UpdateInterface(hud)
    local arrow = io.open("arrow.txt", "w")
    arrow:write(table.concat({GetWindowPosition(hud, "arrow")}, " "))
    arrow:close()
  end
  Update()
end
)";
constexpr char kSetUp[] = "hmgun3\nssrlauncher\nnone\nminelayer\narmor1\nbamper1\nengine1\nsuper3\n7\nnone\nnone\n2\n0\n0\n";

TEST_F(InterfaceScreensTest, TheHudInTheSampleLevelShowsLifeWeaponMinesSuperWeaponAndTheArrow) {
    std::string main = apptest::ReadBytes(m_folder.Path() / "data/scripts/main.lua");
    const std::string started = "    StartLevel()\n";
    const size_t start = main.find(started);
    ASSERT_NE(start, std::string::npos);
    main.insert(start + started.size(), "    local hud = CreateInterface('hud', 0)\n    ActivateInterface(hud)\n");
    m_folder.Write("data/scripts/main.lua", main);
    m_folder.Write("data/scripts/gamemenu.lua", kHudScript);
    const std::string list = apptest::ReadBytes(m_folder.Path() / "data/scripts/list.dat");
    m_folder.Write("data/scripts/list.dat", list + "gamemenu t_interface\n");
    m_folder.Write("data/player.dat", kSetUp);
    // The first check point, ahead of the car, moved behind it and to its side, off screen.
    const std::string path = "data/levels/level1.lvl";
    const std::string bytes = apptest::ReadBytes(m_folder.Path() / path);
    SPLevelFile level;
    std::string error;
    ASSERT_TRUE(ReadLevelFile(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size(), level, error)) << error;
    for (SPLevelRecord& record : level.records) {
        if (record.name.rfind("chk1_", 0) == 0) record.position = {-30.0f, -60.0f, 0.8f};
    }
    const std::vector<uint8_t> written = WriteLevelFile(level);
    m_folder.Write(path, std::string(written.begin(), written.end()));
    Shoot(20, {{"VX_LEVEL", "level1"}});

    // The layout's places (its windows are anchored at the top left, so they keep them on 640 ×
    // 480), inside each window away from its border (the upgrade points on their lowest row,
    // below the arrow), and the colours of the HUD's texture.
    struct Place {
        const char* what;
        int x, y;
        uint32_t colour;
        bool shown;
    };
    const Place places[] = {
        {"heavy machine gun's plate in the slot", 274, 14, 0xC03030, true},
        {"upgrade point 1", 274, 53, 0x40E040, true},
        {"upgrade point 2", 286, 53, 0x40E040, true},
        {"upgrade point 3", 298, 53, 0x40E040, false},
        {"upgrade point 4", 310, 53, 0x40E040, false},
        {"super weapon", 162, 58, 0x8040C0, true},
        {"super weapon mark 3", 197, 51, 0x40E040, true},
        {"super weapon mark 4", 197, 65, 0x40E040, true},
        {"mines", 162, 88, 0x806020, true},
        {"empty mine layer", 162, 88, 0x505050, false},
    };
    for (const Place& place : places) EXPECT_EQ(Near(Pixel(place.x, place.y), place.colour), place.shown) << place.what;

    // Life: 100 in the title font, white, from the text's place on (right of its label), as wide
    // as the font makes it.
    const std::string metrics = apptest::ReadBytes(m_folder.Path() / "data/fonts/title.fnt");
    SPFontGlyphs glyphs;
    ASSERT_TRUE(ParseFontMetrics(metrics.data(), static_cast<int32_t>(metrics.size()), 2.0f, 1.0f, glyphs));
    const float step = glyphs.advances['0'] - 2.5f;  // the pen's step over a digit
    int first = kWidth, last = -1;
    for (int y = 16; y < 16 + static_cast<int>(glyphs.lineHeight); ++y) {
        for (int x = 88; x < 240; ++x) {
            if (!Near(Pixel(x, y), 0xFFFFFF)) continue;
            first = std::min(first, x);
            last = std::max(last, x);
        }
    }
    EXPECT_GE(first, 96);
    EXPECT_GT(last - first, 2.0f * step) << "three digits";
    EXPECT_LT(last - first, 3.0f * step) << "three digits";

    // The next check point lies off screen: the arrow sits 20 pixels inside the border toward
    // it, drawn in yellow (centred on its place when turned, from its place when pointing up).
    float arrowX = 0.0f, arrowY = 0.0f;
    ASSERT_EQ(std::sscanf(apptest::ReadBytes(m_folder.Path() / "arrow.txt").c_str(), "%f %f", &arrowX, &arrowY), 2);
    const float border = std::min({arrowX, arrowY, kWidth - arrowX, kHeight - arrowY});
    EXPECT_NEAR(border, 20.0f, 1.5f);
    int yellow = 0;
    for (int y = static_cast<int>(arrowY) - 16; y < static_cast<int>(arrowY) + 32; ++y) {
        for (int x = static_cast<int>(arrowX) - 16; x < static_cast<int>(arrowX) + 32; ++x) {
            yellow += x >= 0 && y >= 0 && x < kWidth && y < kHeight && Near(Pixel(x, y), 0xFFD040);
        }
    }
    EXPECT_GT(yellow, 100) << "the arrow shows at " << arrowX << ", " << arrowY << " (it blinks every 0.25 s)";
}

}  // namespace
