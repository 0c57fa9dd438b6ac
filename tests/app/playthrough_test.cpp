// The sample game played through by the real program, headless, driven only by input a player
// gives (keys, mouse motion, clicks) written as a recording and replayed with a fixed frame time
// and seed, so every run is the same. What the player sees is read from screenshots of chosen
// frames, what the scripts hear from a log they write (ScriptRecorder.h), and what the game keeps
// from the files it writes.
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "InputTimeline.h"
#include "ProgramRun.h"
#include "ScriptRecorder.h"
#include "StateFile.h"
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
constexpr Point kShopDone{470, 434};
constexpr Point kSavesSave{175, 408};
constexpr Point kSavesLoad{315, 408};
constexpr Point kSavesBack{455, 408};

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
constexpr Box kShopSlots{60, 248, 580, 276};
// The level's message under the HUD's top; the save screen's first two slots.
constexpr Box kMessage{160, 120, 480, 142};
constexpr Box kSaveSlot1{30, 46, 610, 66};
constexpr Box kSaveSlot2{30, 72, 610, 92};
// The end screen's title; the score table's first two lines.
constexpr Box kEndTitle{200, 68, 440, 100};
constexpr Box kScoreLine1{200, 48, 440, 68};
constexpr Box kScoreLine2{200, 74, 440, 94};
// The looks of a button away from its label and border.
constexpr uint32_t kButtonNormal = 0x203060, kButtonHover = 0x3860B0;

int Blue(uint32_t pixel) { return static_cast<int>(pixel & 0xFF); }

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
        ASSERT_TRUE(apptest::RecordScripts(m_folder, {"main", "keys", "shop", "saves", "scores", "level", "gamemenu", "jeep"},
                                           {"main", "keys", "shop", "saves", "scores"}, error))
            << error;
    }

    // Plays the input with a fixed frame time and seed, takes the screenshots and keeps the state
    // of the last level frame (state.txt).
    apptest::ProgramResult Play(const InputTimeline& input, const std::vector<Shot>& shots,
                                const char* frameTime = "0.05") {
        m_folder.Write("play.rec", input.Encode());
        std::string screenshots;
        for (const Shot& shot : shots) {
            if (!screenshots.empty()) screenshots += ';';
            screenshots += (m_folder.Path() / (shot.name + ".png")).string() + ":" + std::to_string(shot.frame);
        }
        apptest::ProgramRun run;
        run.folder = m_folder.Path();
        run.timeLimit = std::chrono::seconds(180);  // a run takes 10 to 30 s on a busy machine
        run.environment = {{"VX_REPLAY", "play.rec"},      {"VX_FRAME_TIME", frameTime},
                           {"VX_SEED", "3"},               {"VX_LOG", "stderr"},
                           {"VX_SCREENSHOT", screenshots}, {"VX_MEDIA_SILENT", "1"},
                           {"VX_STATE", "state.txt"},
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

    // Whether the recorded lines hold lines starting with these, in this order (others between).
    ::testing::AssertionResult HeardInOrder(const std::vector<std::string>& expected) const {
        const std::vector<std::string> lines = apptest::RecordedLines(m_folder);
        auto at = lines.begin();
        for (const std::string& start : expected) {
            at = std::find_if(at, lines.end(), [&](const std::string& line) { return line.rfind(start, 0) == 0; });
            if (at == lines.end()) return ::testing::AssertionFailure() << "not heard in order: " << start;
            ++at;
        }
        return ::testing::AssertionSuccess();
    }

    // How many recorded lines start with the text.
    int Count(const std::string& start) const {
        int count = 0;
        for (const std::string& line : apptest::RecordedLines(m_folder)) count += line.rfind(start, 0) == 0;
        return count;
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

// The first run: title, menu and key screen, where fire is rebound to X; the shop, where a heavy
// machine gun is bought; mission 1 driven, fought and finished; the game saved in the next shop.
// The second run: the save loaded from the title, mission 2 lost by the car destroyed, the end
// screen and the score table.
TEST_F(PlaythroughTest, APlayerPlaysFromTheKeyScreenThroughMissionOneAndASaveToTheScoreTable) {
    InputTimeline input;
    input.Press(10, "Tab")
        .Click(14, kMenuKeys.x, kMenuKeys.y)
        .Click(20, kKeysFireRow.x, kKeysFireRow.y)
        .Press(26, "X")
        .Click(30, kKeysBack.x, kKeysBack.y)
        .Click(36, kMenuPlay.x, kMenuPlay.y)
        .Click(44, kShopBuy.x, kShopBuy.y)
        .Click(52, kShopDone.x, kShopDone.y)
        // Up the road past check point 1; firing (X) at the tower ahead until it falls; the super
        // weapon on the enemies coming; up the road through the opened gate to the finish.
        .Hold(60, "Up", 40)
        .Hold(110, "X", 120)
        .Press(175, "LShift")
        .Hold(185, "Up", 60)
        // In the shop of mission 2: S, Save into the first slot, Back; Escape ends the game.
        .Press(250, "S")
        .Click(256, kSavesSave.x, kSavesSave.y)
        .Click(262, kSavesBack.x, kSavesBack.y)
        .Press(270, "Esc");
    const apptest::ProgramResult result = Play(input, {{"keys", 19},
                                                       {"rebound", 29},
                                                       {"shop", 42},
                                                       {"bought", 50},
                                                       {"mission", 200},
                                                       {"saved", 261}});
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
    const int money = 1500 - price;
    EXPECT_TRUE(HeardInOrder({"text,money,Money: 1500", "text,item,Heavy machine gun",
                              "text,slots,Light gun / - / -", "shop,button,buy", "text,status,Bought",
                              "text,money,Money: " + std::to_string(money),
                              "text,slots,Light gun / Heavy machine gun / -"}));
    EXPECT_GT(Whites(Picture("bought"), kShopSlots), Whites(Picture("shop"), kShopSlots) + 100)
        << "the slots' line grew by the gun's name";

    // 3. Mission 1 with that money: check point 1 reached, the tower destroyed and its gate
    // opened, enemies killed, the finish reached; the mission's pay shows in the next shop.
    EXPECT_TRUE(HeardInOrder({"main,shop_closed", "gamemenu,set_money," + std::to_string(money) + ".000000",
                              "level,check_point,1,", "gamemenu,mission_text,The way is open",
                              "level,enemy_death,", "level,check_point,2,", "main,mission_complete",
                              "shop,add_object,"}));
    const int kills = Count("level,enemy_death,");
    EXPECT_GE(kills, 1);
    float earned = 0.0f;
    int score = 0;
    ASSERT_TRUE(apptest::ReadMoneyAndScore(File("state.txt"), earned, score)) << File("state.txt");
    const int paid = static_cast<int>(earned);
    EXPECT_GT(paid, money) << "the tower and the kills pay";
    EXPECT_TRUE(HeardInOrder({"main,mission_complete", "text,money,Money: " + std::to_string(paid + 1000)}));
    const SPImage mission = Picture("mission");
    EXPECT_GT(Whites(mission, kMessage), 50) << "the level's message";
    EXPECT_GT(Blue(Pixel(mission, 320, 238)), 120) << "the car in the middle";

    // 4. Saved into slot 1, which lists it; the game ends normally and writes its settings.
    EXPECT_TRUE(HeardInOrder({"saves,button,save", "text,slot1,1. Mission 2", "text,status,Saved"}));
    EXPECT_FALSE(File("data/Saves/save1.sav").empty());
    const SPImage saved = Picture("saved");
    EXPECT_GT(Whites(saved, kSaveSlot1), Whites(saved, kSaveSlot2) + 100) << "slot 1 holds a save, slot 2 none";
    EXPECT_FALSE(File("config.cfg").empty());

    // 5. Start again: S on the title, Load, Done in the shop of mission 2, where the car stands
    // still until the enemies destroy it ("player_dead" reaches "main"), well before its 170 s of
    // level time would run out in the 340 frames of 0.5 s.
    const std::string scoresBefore = File("data/scores.dat");
    std::filesystem::remove(m_folder.Path() / "events.log");
    InputTimeline second;
    second.Press(4, "S")
        .Click(6, kSavesLoad.x, kSavesLoad.y)
        .Click(10, kShopDone.x, kShopDone.y)
        .Press(380, "Enter")
        .Press(386, "Esc");
    const apptest::ProgramResult again = Play(second, {{"over", 378}, {"scores", 384}}, "0.5");
    ASSERT_EQ(again.exitCode, 0) << again.errors;
    const int savedScore = score;
    ASSERT_TRUE(apptest::ReadMoneyAndScore(File("state.txt"), earned, score)) << File("state.txt");
    EXPECT_NE(File("state.txt").find(" mission 2\n"), std::string::npos) << "the last level was mission 2's";
    EXPECT_GE(score, savedScore) << "the loaded game's score";
    EXPECT_TRUE(HeardInOrder({"saves,button,load", "main,game_loaded", "text,money,Money: " + std::to_string(paid + 1000),
                              "main,shop_closed", "gamemenu,set_money," + std::to_string(paid + 1000) + ".000000",
                              "main,player_dead", "text,title,Game over", "text,reason,Your car was destroyed",
                              "text,score,Score: " + std::to_string(score), "main,key,13", "scores,record_score",
                              "text,line1,1. Driver  " + std::to_string(score), "text,line2,2. -  0"}));
    const SPImage over = Picture("over");
    EXPECT_GT(Whites(over, kEndTitle), 100) << "the end screen's title";
    const SPImage scores = Picture("scores");
    EXPECT_GT(Whites(scores, kScoreLine1), Whites(scores, kScoreLine2) + 50) << "the driver's line above an empty one";
    EXPECT_NE(File("data/scores.dat"), scoresBefore) << "the score table is written";
}


}  // namespace
