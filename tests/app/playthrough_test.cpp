// The sample game played through by the real program, headless, driven only by input a player
// gives (keys, mouse motion, clicks) written as a recording and replayed with a fixed frame time
// and seed, so every run is the same. What the player sees is read from screenshots of chosen
// frames, what the scripts hear from a log they write (ScriptRecorder.h), and what the game keeps
// from the files it writes.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "InputTimeline.h"
#include "ProgramRun.h"
#include "ScriptRecorder.h"
#include "WorkingFolder.h"

namespace {

using apptest::InputTimeline;

// On the 640 x 480 window, the screens' layouts (made for 1024 x 768) are centred.
struct Point {
    int32_t x, y;
};
constexpr Point kMenuPlay{320, 176};
constexpr Point kMenuKeys{320, 256};
constexpr Point kKeysFireRow{460, 220};
constexpr Point kKeysBack{320, 416};
constexpr Point kShopBuy{320, 206};

// A screenshot of a drawn frame, taken under a name.
struct Shot {
    std::string name;
    int frame;
};

// A box of the window.
struct Box {
    int left, top, right, bottom;
};
// On the key screen, the left half of the label of the fire action's key (left of the cursor
// that clicked it) and of the first row's (Accelerate: Up); the shop's line of the car's weapon
// slots.
constexpr Box kFireKey{420, 210, 458, 230};
constexpr Box kAccelerateKey{420, 66, 458, 86};
constexpr Box kShopSlots{60, 262, 580, 290};
// The looks of a button away from its label and border.
constexpr uint32_t kButtonNormal = 0x203060, kButtonHover = 0x3860B0;

bool Near(uint32_t pixel, uint32_t colour) {
    for (int shift = 0; shift < 24; shift += 8) {
        if (std::abs(static_cast<int>(pixel >> shift & 0xFF) - static_cast<int>(colour >> shift & 0xFF)) > 10) {
            return false;
        }
    }
    return true;
}

class PlaythroughTest : public ::testing::Test {
protected:
    void SetUp() override {
        apptest::CopyGameFolder(VX_SAMPLE_DATA, m_folder.Path());
        std::string error;
        ASSERT_TRUE(apptest::RecordScripts(m_folder, {"main", "keys", "shop", "saves", "scores", "level", "gamemenu"},
                                           {"keys", "shop", "saves", "scores"}, error))
            << error;
    }

    // Plays the input with a fixed frame time and seed, and takes the screenshots.
    apptest::ProgramResult Play(const InputTimeline& input, const std::vector<Shot>& shots) {
        m_folder.Write("play.rec", input.Encode());
        std::string screenshots;
        for (const Shot& shot : shots) {
            if (!screenshots.empty()) screenshots += ';';
            screenshots += (m_folder.Path() / (shot.name + ".png")).string() + ":" + std::to_string(shot.frame);
        }
        apptest::ProgramRun run;
        run.folder = m_folder.Path();
        run.environment = {{"VX_REPLAY", "play.rec"},      {"VX_FRAME_TIME", "0.05"},
                           {"VX_SEED", "3"},               {"VX_LOG", "stderr"},
                           {"VX_SCREENSHOT", screenshots}, {"VX_MEDIA_SILENT", "1"},
                           {"SDL_VIDEODRIVER", "offscreen"}};
        return apptest::RunProgram(run);
    }

    SPImage Picture(const std::string& name) const {
        SPImage image;
        std::string error;
        EXPECT_TRUE(apptest::ReadScreenshot(m_folder.Path() / (name + ".png"), image, error)) << error;
        return image;
    }

    static uint32_t Pixel(const SPImage& image, int x, int y) {
        if (image.levels.empty() || x < 0 || y < 0 || x >= static_cast<int>(image.width) ||
            y >= static_cast<int>(image.height)) {
            return 0;
        }
        return reinterpret_cast<const uint32_t*>(image.levels[0].data())[y * image.width + x] & 0xFFFFFFu;
    }

    // The white pixels of a box: how much text it shows.
    static int Whites(const SPImage& image, const Box& box) {
        int count = 0;
        for (int y = box.top; y < box.bottom; ++y) {
            for (int x = box.left; x < box.right; ++x) count += Near(Pixel(image, x, y), 0xFFFFFF);
        }
        return count;
    }

    // Whether the recorded lines hold these, in this order (others between them).
    ::testing::AssertionResult HeardInOrder(const std::vector<std::string>& expected) const {
        const std::vector<std::string> lines = apptest::RecordedLines(m_folder);
        auto at = lines.begin();
        for (const std::string& line : expected) {
            at = std::find(at, lines.end(), line);
            if (at == lines.end()) return ::testing::AssertionFailure() << "not heard in order: " << line;
            ++at;
        }
        return ::testing::AssertionSuccess();
    }

    std::string File(const std::string& name) const { return apptest::ReadBytes(m_folder.Path() / name); }

    // The price of a weapon in the weapons table.
    int WeaponPrice(const std::string& weapon) const {
        const std::string table = File("data/w_info.dat");
        const size_t line = table.find("\n" + weapon + ";");
        if (line == std::string::npos) return -1;
        const size_t price = table.find(';', table.find(';', line) + 1) + 1;
        return std::atoi(table.c_str() + price);
    }

    apptest::WorkingFolder m_folder;
};

// Title, menu, key screen: the fire key rebound to X; the shop: a heavy machine gun bought.
TEST_F(PlaythroughTest, APlayerRebindsAKeyAndBuysAWeapon) {
    InputTimeline input;
    input.Press(10, "Tab")
        .Click(14, kMenuKeys.x, kMenuKeys.y)
        .Click(20, kKeysFireRow.x, kKeysFireRow.y)
        .Press(26, "X")
        .Click(30, kKeysBack.x, kKeysBack.y)
        .Click(36, kMenuPlay.x, kMenuPlay.y)
        .Click(44, kShopBuy.x, kShopBuy.y)
        .Press(54, "Esc");
    const apptest::ProgramResult result =
        Play(input, {{"keys", 19}, {"rebound", 29}, {"shop", 42}, {"bought", 50}});
    ASSERT_EQ(result.exitCode, 0) << result.errors;

    // 1. The key screen shows the bindings; the fire row waits for a key and takes X, which
    // Actions.cfg keeps.
    EXPECT_TRUE(HeardInOrder({"main,show_keys", "text,key5,Space", "keys,button,bind5", "text,key5,Press a key",
                              "keys,key_assign,X", "text,key5,X", "main,keys_closed", "main,menu_closed"}));
    EXPECT_NE(File("Actions.cfg").find("fire;Fire;X\r\n"), std::string::npos) << File("Actions.cfg");
    const SPImage keys = Picture("keys");
    const SPImage rebound = Picture("rebound");
    EXPECT_TRUE(Near(Pixel(keys, kAccelerateKey.left, kAccelerateKey.top), kButtonNormal));
    EXPECT_TRUE(Near(Pixel(rebound, kFireKey.left, kFireKey.top), kButtonHover)) << "under the cursor";
    EXPECT_GT(Whites(keys, kFireKey), 2 * Whites(rebound, kFireKey)) << "\"Space\", then \"X\"";
    EXPECT_EQ(Whites(keys, kAccelerateKey), Whites(rebound, kAccelerateKey)) << "\"Up\" both times";

    // 2. The shop: the start money less the table's price, the gun in the second slot.
    const int price = WeaponPrice("hmgun");
    ASSERT_GT(price, 0);
    EXPECT_TRUE(HeardInOrder({"text,money,Money: 1500", "text,item,Heavy machine gun",
                              "text,slots,Light gun / - / -", "shop,button,buy", "text,status,Bought",
                              "text,money,Money: " + std::to_string(1500 - price),
                              "text,slots,Light gun / Heavy machine gun / -"}));
    EXPECT_GT(Whites(Picture("bought"), kShopSlots), Whites(Picture("shop"), kShopSlots) + 100)
        << "the slots' line grew by the gun's name";
}

}  // namespace
