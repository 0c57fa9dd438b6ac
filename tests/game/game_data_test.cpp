// The game data as the game loads it from its working folder: tables, texts, the player's
// start, the coefficients, the score table and what damaged files leave behind.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cmath>
#include <filesystem>
#include <limits>
#include <ostream>
#include <string>
#include <vector>

#include "core/PLog.h"
#include "core/PMMObject.h"
#include "core/Scramble.h"
#include "core/SettingsVariables.h"
#include "core/TextHelpers.h"
#include "platform/PathResolver.h"
#include "game/PGameData.h"
#include "script/PLuaScript.h"
#include "support/RunningScripts.h"
#include "support/LogCapture.h"
#include "support/WorkingFolder.h"

// Readable failures for score tables.
void PrintTo(const SPScoreLine& line, std::ostream* out) { *out << "{\"" << line.name << "\", " << line.score << "}"; }

namespace {

namespace fs = std::filesystem;
using testsupport::ReadBytes;

constexpr char kWeapons[] = "hmgun;n_hmgun;100;1;0.5;2;3.5;0.4;10;5;0;d_hmgun;1\ngauss;n_gauss;900;1;0;0;50;0.2;2;1;0;d_gauss;3\n";
constexpr char kSupers[] = "super;n_super;500;d_super;1\n";
constexpr char kArmor[] = "plate;n_plate;50;100;d_plate;0\n";
constexpr char kStrings[] = "lgu~Machine gun upgraded\nnu~Super weapon upgraded\nnoname~Nobody\n";
constexpr char kPlayer[] = "hmgun\ngauss\nnone\nnone\nplate\nnone\nnone\nsuper\n1\nnone\nnone\n0\n0\n0\n";

class GameDataTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        m_folder.Write("Data/w_info.dat", kWeapons);
        m_folder.Write("Data/sw_info.dat", kSupers);
        m_folder.Write("Data/a_info.dat", kArmor);
        m_folder.Write("Data/strings.txt", kStrings);
        m_folder.Write("Data/player.dat", kPlayer);
    }
    void TearDown() override { g_difficulty = 0; }

    // Loads the game data with the log on, and returns what the log wrote.
    static std::string LoadLogged(CPGameData& data)
    {
        return testsupport::LogOf([&] { data.LoadGameData(); });
    }

    std::string ScoreFileBytes() const { return ReadBytes(m_folder.Path() / "Data" / "scores.dat"); }

    testsupport::WorkingFolder m_folder;
};

TEST_F(GameDataTest, LoadsTheTablesTextsAndStartSetupWithoutAWord)
{
    CPGameData data;
    data.score = 12;
    EXPECT_EQ(LoadLogged(data), "");
    EXPECT_EQ(data.score, 0);
    ASSERT_EQ(data.weaponList.size(), 2u);
    ASSERT_NE(data.FindWeaponInfo("gauss"), nullptr);
    EXPECT_EQ(data.FindWeaponInfo("gauss")->price, 900);
    EXPECT_EQ(data.FindArmorInfo("plate")->value, 100.0f);
    EXPECT_EQ(data.GetText("nu"), "Super weapon upgraded");
    EXPECT_EQ(data.editedSetup.weapons[1], "gauss");
    EXPECT_EQ(data.committedSetup, data.editedSetup);
    EXPECT_TRUE(data.mineList.empty()) << "no m_info.dat";
    EXPECT_EQ(data.scoreTable, DefaultScoreTable()) << "no scores.dat";
    EXPECT_EQ(data.enemyHealthFactor, 1.0f) << "no coeff.dat";
    EXPECT_EQ(data.levelTimeFactor, 1.0f);
}

TEST_F(GameDataTest, UnknownKeysAndItemsAreNotFoundAndNeverAdded)
{
    CPGameData data;
    data.LoadGameData();
    const size_t texts = data.strings.size();
    EXPECT_EQ(data.FindText("no such key"), nullptr);
    EXPECT_EQ(data.GetText("no such key"), "");
    EXPECT_EQ(data.strings.size(), texts);
    EXPECT_EQ(data.FindWeaponInfo(""), nullptr);
    EXPECT_EQ(data.FindMineInfo("hmgun"), nullptr) << "tables are separate";
    EXPECT_EQ(data.FindEngineInfo("v8"), nullptr);
    EXPECT_EQ(data.weaponInfos.size(), 2u);
}

TEST_F(GameDataTest, ADamagedFileIsRefusedWholeWithALogLineAndTheOthersStillLoad)
{
    m_folder.Write("Data/player.dat", std::string(kPlayer) + "extra\n");
    CPGameData data;
    const std::string log = LoadLogged(data);
    EXPECT_NE(log.find("player.dat refused"), std::string::npos) << log;
    EXPECT_EQ(data.committedSetup, SPCarSetup()) << "the default set-up stands";
    EXPECT_EQ(data.superWeaponList.size(), 1u);
    EXPECT_EQ(data.GetText("lgu"), "Machine gun upgraded");
}

// One bad line in a modder's table costs that line at most, never the table.
TEST_F(GameDataTest, AShortOrUnsafeLineNeverEmptiesATable)
{
    m_folder.Write("Data/w_info.dat", std::string(kWeapons) + "laser;n_laser\nbeam;n_beam;10;1;0;0;inf;0;1;1;0;d;0\n");
    m_folder.Write("Data/strings.txt", std::string(kStrings) + "odd~one~two\n");
    CPGameData data;
    const std::string log = LoadLogged(data);
    EXPECT_EQ(data.weaponList.size(), 3u);
    ASSERT_NE(data.FindWeaponInfo("laser"), nullptr) << "a short line gives empty texts and zero numbers";
    EXPECT_EQ(data.FindWeaponInfo("laser")->price, 0);
    EXPECT_EQ(data.FindWeaponInfo("beam"), nullptr);
    EXPECT_NE(log.find("Data\\w_info.dat, line 4 left out: field 7 is not a finite number"), std::string::npos) << log;
    EXPECT_EQ(data.GetText("lgu"), "Machine gun upgraded") << "the other texts stay";
    EXPECT_EQ(data.GetText("odd"), "one");
}

TEST_F(GameDataTest, CoefficientsComeFromTheFileUnlessHardModeIsOnInTheFullGame)
{
    m_folder.Write("Data/coeff.dat", "1.5\n0.5\n2\n3\n");
    struct Case {
        int32_t difficulty;
        bool hardMode;
        float expectedHealth;
    };
    for (const Case c : {Case{0, false, 1.5f}, Case{0, true, 1.5f}, Case{1, false, 1.5f}, Case{1, true, 1.0f}}) {
        g_difficulty = c.difficulty;
        CPGameData data;
        data.hardMode = c.hardMode;
        data.enemyHealthFactor = 7.0f;
        data.LoadCoefficients();
        EXPECT_EQ(data.enemyHealthFactor, c.expectedHealth) << c.difficulty << c.hardMode;
        if (c.expectedHealth == 1.5f) {
            EXPECT_EQ(data.playerDamageFactor, 0.5f);
            EXPECT_EQ(data.bonusChanceFactor, 2.0f);
            EXPECT_EQ(data.levelTimeFactor, 3.0f);
        }
    }

    g_difficulty = 0;
    fs::remove(m_folder.Path() / "Data" / "coeff.dat");
    m_folder.Write("Data/other", "");  // the resolver sees the folder change
    CPGameData fresh;
    fresh.LoadCoefficients();
    EXPECT_EQ(fresh.playerDamageFactor, 1.0f) << "a missing file leaves every coefficient at 1";
    m_folder.Write("Data/coeff.dat", "1.5\n0.5\n2\n");
    fresh.LoadCoefficients();
    EXPECT_EQ(fresh.enemyHealthFactor, 1.0f) << "a file of three lines is refused whole";
}

TEST_F(GameDataTest, LoadoutValueCountsPricesChargesAndMissingItemsAsNothing)
{
    CPGameData data;
    data.LoadGameData();
    SPCarSetup setup;
    setup.superWeapon = "super";
    setup.superWeaponCount = 3;
    EXPECT_EQ(data.GetLoadoutValue(setup), 1500.0f);
    setup.superWeaponCount = 0;
    EXPECT_EQ(data.GetLoadoutValue(setup), 0.0f);
    setup.weapons = {"hmgun", "gauss", "unknown"};
    setup.armor = "plate";
    setup.engine = "unknown";
    EXPECT_EQ(data.GetLoadoutValue(setup), 1050.0f);
}

// The upgrade pick-ups, with a running "gamemenu" script that receives the texts.
class UpgradeTest : public GameDataTest {
protected:
    void SetUp() override
    {
        GameDataTest::SetUp();
        ASSERT_TRUE(m_scripts.Start({"gamemenu t_interface"}));
        m_data.LoadGameData();
    }
    void TearDown() override
    {
        m_scripts.Stop();
        CPLuaScript::SetGameTables(nullptr, nullptr);
        CollectGarbage();
        GameDataTest::TearDown();
    }

    // The texts the script received since the last call.
    std::vector<std::string> Texts()
    {
        std::vector<std::string> texts;
        CPLuaScript& menu = m_scripts["gamemenu"];
        while (menu.NextCommand()) {
            const CPScriptCommand* command = menu.GetCurrentCommand();
            EXPECT_EQ(command->command, "mission_text2");
            texts.push_back(command->params.empty() ? "" : command->params[0]);
        }
        return texts;
    }

    testsupport::RunningScripts m_scripts;
    CPGameData m_data;
};

TEST_F(UpgradeTest, EarningHoldsMoneyAndScoreInTheirRangesAndTellsTheMenu)
{
    constexpr float kMostMoney = std::numeric_limits<float>::max();
    const struct {
        float money;
        int32_t score;
        float earnedMoney;
        int32_t earnedScore;
        float moneyAfter;
        int32_t scoreAfter;
    } cases[] = {
        {10.0f, 4, 2.5f, 3, 12.5f, 7},
        {0.0f, INT32_MAX, 1.0f, 1, 1.0f, INT32_MAX},
        {0.0f, INT32_MIN, -1.0f, -1, -1.0f, INT32_MIN},
        {kMostMoney, 0, kMostMoney, 0, kMostMoney, 0},
        {-kMostMoney, 0, -kMostMoney, 0, -kMostMoney, 0},
        {5.0f, 0, std::numeric_limits<float>::infinity(), 0, 5.0f, 0},
        {5.0f, 0, std::nanf(""), 0, 5.0f, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.earnedScore);
        m_data.money = c.money;
        m_data.score = c.score;
        m_data.Earn(c.earnedMoney, c.earnedScore);
        EXPECT_EQ(m_data.money, c.moneyAfter);
        EXPECT_EQ(m_data.score, c.scoreAfter);
        CPLuaScript& menu = m_scripts["gamemenu"];
        ASSERT_TRUE(menu.NextCommand());
        EXPECT_EQ(menu.GetCurrentCommand()->command, "change_money");
        EXPECT_EQ(menu.GetCurrentCommand()->params.at(0), FloatText(c.moneyAfter));
        EXPECT_FALSE(menu.NextCommand());
    }
}

TEST_F(UpgradeTest, SevenPickUpsRaiseTheSlotThenTheSuperWeapon)
{
    struct Step {
        int32_t level;
        const char* weapon;
        const char* super;
        bool remount;
        std::vector<std::string> texts;
    };
    const Step kSteps[] = {
        {1, "hmgun", "super", false, {}},
        {2, "hmgun2", "super", true, {"Machine gun upgraded"}},
        {3, "hmgun2", "super", false, {}},
        {4, "hmgun3", "super", true, {"Machine gun upgraded"}},
        {4, "hmgun3", "super2", false, {"Super weapon upgraded"}},
        {4, "hmgun3", "super3", false, {"Super weapon upgraded"}},
        {4, "hmgun3", "super3", false, {}},
    };
    for (const Step& step : kSteps) {
        EXPECT_TRUE(m_data.CanUpgradeWeapon(0));
        EXPECT_EQ(m_data.UpgradeWeaponSlot(0), step.remount) << step.level << step.super;
        EXPECT_EQ(m_data.committedSetup.weaponLevels[0], step.level);
        EXPECT_EQ(m_data.committedSetup.weapons[0], step.weapon);
        EXPECT_EQ(m_data.committedSetup.superWeapon, step.super);
        EXPECT_EQ(Texts(), step.texts) << step.level << step.super;
        if (std::string(step.super) == "super3") break;
    }
    EXPECT_FALSE(m_data.CanUpgradeWeapon(0));
    EXPECT_FALSE(m_data.UpgradeWeaponSlot(0));
    EXPECT_TRUE(Texts().empty());
    EXPECT_TRUE(m_data.CanUpgradeAll()) << "slots 1 and 2 are still at level 0";
    EXPECT_EQ(m_data.editedSetup.weaponLevels[0], 0) << "only the committed set-up changes";
}

TEST_F(UpgradeTest, AWeaponWithoutUpgradeNamesCountsUpSilentlyAndNoSlotGoesToTheSuperWeapon)
{
    const bool remounts[] = {false, true, false, true};
    for (bool remount : remounts) EXPECT_EQ(m_data.UpgradeWeaponSlot(1), remount);
    EXPECT_EQ(m_data.committedSetup.weapons[1], "gauss");
    EXPECT_EQ(m_data.committedSetup.weaponLevels[1], 4);
    EXPECT_TRUE(Texts().empty());

    for (int32_t noSlot : {-1, 3, 1000}) {
        m_data.committedSetup.superWeapon = "super";
        EXPECT_FALSE(m_data.UpgradeWeaponSlot(noSlot));
        EXPECT_EQ(m_data.committedSetup.superWeapon, "super2") << noSlot;
        EXPECT_EQ(m_data.committedSetup.weaponLevels, (std::array<int32_t, 3>{0, 4, 0}));
    }
    EXPECT_EQ(Texts().size(), 3u);
}

TEST_F(GameDataTest, AddScoreRanksBelowEqualScoresAndMovesTheLowerLinesDown)
{
    struct Case {
        int32_t score;
        int32_t place;
    };
    for (const Case c : {Case{4100, 0}, Case{3500, 2}, Case{200, -1}, Case{150, -1}, Case{201, 11}, Case{1000, 10}}) {
        CPGameData data;
        const std::vector<SPScoreLine> before = data.scoreTable;
        EXPECT_EQ(data.AddScore(c.score), c.place) << c.score;
        for (int32_t i = 0; i < kScoreLineCount; ++i) {
            const int32_t from = c.place < 0 || i <= c.place ? i : i - 1;
            EXPECT_EQ(data.scoreTable[i], before[from]) << c.score << " line " << i;
        }
    }
}

TEST_F(GameDataTest, ScoresWrittenAreScrambledAndReadBackEqual)
{
    CPGameData written;
    ASSERT_TRUE(written.SaveScores());
    const std::string bytes = ScoreFileBytes();
    EXPECT_EQ(bytes.size(), 168u);
    EXPECT_EQ(bytes.find("PLAYER"), std::string::npos);

    const int32_t place = written.AddScore(2600);
    ASSERT_EQ(place, 3);
    ASSERT_TRUE(written.SetScoreLine(place, "Ann \"the\" driver", 2600));
    CPGameData read;
    read.LoadGameData();
    EXPECT_EQ(read.scoreTable, written.scoreTable);
    EXPECT_EQ(read.GetScoreLine(3)->name, "Ann \"the\" driver");
}

TEST_F(GameDataTest, SetScoreLineRefusesLinesOutsideTheTableAndKeepsLongNamesWhole)
{
    CPGameData data;
    for (int32_t line : {-1, 12, 1 << 30}) {
        EXPECT_FALSE(data.SetScoreLine(line, "X", 1)) << line;
        EXPECT_EQ(data.GetScoreLine(line), nullptr);
    }
    EXPECT_EQ(data.scoreTable, DefaultScoreTable());
    EXPECT_FALSE(fs::exists(m_folder.Path() / "Data" / "scores.dat")) << "nothing written";

    ASSERT_TRUE(data.SetScoreLine(11, std::string(1000, 'n'), 5));
    EXPECT_EQ(data.GetScoreLine(11)->name, std::string(1000, 'n'));
    CPGameData read;
    read.LoadScores();
    EXPECT_EQ(read.GetScoreLine(11)->name, std::string(1000, 'n'));
}

TEST_F(GameDataTest, ARefusedScoreFileIsKeptAsideAndNeverWrittenOver)
{
    std::vector<uint8_t> damaged = ScoreTableBytes(DefaultScoreTable());
    damaged.push_back(7);
    Scramble(damaged);
    const std::string stored(damaged.begin(), damaged.end());
    m_folder.Write("Data/scores.dat", stored);
    m_folder.Write("Data/scores.dat.refused", "an earlier one");

    CPGameData data;
    const std::string log = testsupport::LogOf([&] { data.LoadScores(); });
    EXPECT_EQ(data.scoreTable, DefaultScoreTable());
    EXPECT_NE(log.find("kept as"), std::string::npos) << log;
    EXPECT_NE(log.find("scores.dat.refused2"), std::string::npos) << log;
    ASSERT_TRUE(data.SetScoreLine(0, "New", 9999));
    EXPECT_EQ(ReadBytes(m_folder.Path() / "Data" / "scores.dat.refused2"), stored) << "the player's file is kept";
    EXPECT_EQ(ReadBytes(m_folder.Path() / "Data" / "scores.dat.refused"), "an earlier one");
    CPGameData read;
    read.LoadScores();
    EXPECT_EQ(read.GetScoreLine(0)->name, "New");
}

// A game killed after writing the new table beside the old file, before renaming it, leaves a
// temporary file: the old table loads whole, and the next save goes through.
TEST_F(GameDataTest, AKillBeforeTheRenameLeavesTheOldTableWhole)
{
    CPGameData old;
    ASSERT_TRUE(old.SetScoreLine(0, "Old", 9000));
    const std::string oldBytes = ScoreFileBytes();
    std::vector<uint8_t> half = ScoreTableBytes(DefaultScoreTable());
    half.resize(half.size() / 2);
    Scramble(half);
    m_folder.Write("Data/scores.dat.tmp", std::string(half.begin(), half.end()));

    CPGameData restarted;
    restarted.LoadScores();
    EXPECT_EQ(restarted.scoreTable, old.scoreTable);
    ASSERT_TRUE(restarted.SetScoreLine(1, "New", 8000));
    CPGameData again;
    again.LoadScores();
    EXPECT_EQ(again.GetScoreLine(1)->name, "New");
    EXPECT_EQ(again.GetScoreLine(0)->name, "Old");
}

// A game killed at any moment while it saves, again and again, leaves one of the tables whole.
// Where the kills land varies from run to run; every place must pass.
TEST_F(GameDataTest, AGameKilledWhileSavingLeavesOneWholeTable)
{
    std::vector<SPScoreLine> tables[2] = {DefaultScoreTable(), DefaultScoreTable()};
    tables[1][0] = {"Other", 9999};
    CPGameData data;
    ASSERT_TRUE(data.SaveScores());
    for (int32_t round = 1; round <= 8; ++round) {
        const pid_t child = fork();
        ASSERT_GE(child, 0);
        if (child == 0) {
            for (size_t i = 0;; ++i) {
                data.scoreTable = tables[i % 2];
                data.SaveScores();
            }
        }
        usleep(static_cast<useconds_t>(round * 15000));
        kill(child, SIGKILL);
        waitpid(child, nullptr, 0);
        platform::InvalidateListings();

        CPGameData restarted;
        restarted.scoreTable.clear();
        restarted.LoadScores();
        EXPECT_TRUE(restarted.scoreTable == tables[0] || restarted.scoreTable == tables[1]) << "round " << round;
    }
}

TEST_F(GameDataTest, AScoreFileThatCannotBeWrittenStaysAsItWas)
{
    CPGameData data;
    ASSERT_TRUE(data.SaveScores());
    const std::string before = ScoreFileBytes();
    fs::permissions(m_folder.Path() / "Data" / "scores.dat", fs::perms::owner_read);
    EXPECT_FALSE(data.SetScoreLine(0, "Lost", 1)) << "a read-only file is not written, even as root";
    EXPECT_EQ(ScoreFileBytes(), before);
    fs::permissions(m_folder.Path() / "Data" / "scores.dat", fs::perms::owner_all);
}

TEST_F(GameDataTest, AScoreFileCutAtAnyByteOrWithTrailingBytesLeavesTheTableAsItWas)
{
    std::vector<SPScoreLine> table = DefaultScoreTable();
    table[4] = {"Zed", 2222};
    const std::vector<uint8_t> whole = ScoreTableBytes(table);
    CPGameData data;
    GetLog()->SetEnabled(true);
    for (size_t cut = 0; cut <= whole.size() + 1; ++cut) {
        std::vector<uint8_t> bytes(whole.begin(), whole.begin() + std::min(cut, whole.size()));
        if (cut > whole.size()) bytes.push_back(0);
        Scramble(bytes);
        m_folder.Write("Data/scores.dat", std::string(bytes.begin(), bytes.end()));
        data.scoreTable = DefaultScoreTable();
        ::testing::internal::CaptureStderr();
        data.LoadScores();
        const std::string log = ::testing::internal::GetCapturedStderr();
        if (cut == whole.size()) {
            EXPECT_EQ(data.scoreTable, table);
            EXPECT_EQ(log, "");
        } else {
            ASSERT_EQ(data.scoreTable, DefaultScoreTable()) << cut;
            EXPECT_NE(log.find("scores.dat refused"), std::string::npos) << cut;
        }
    }
    GetLog()->SetEnabled(false);
}

TEST_F(GameDataTest, AScoreNameLengthPastTheEndIsRefusedWithoutReadingIt)
{
    std::vector<uint8_t> bytes = ScoreTableBytes(DefaultScoreTable());
    bytes[0] = 0xFF;  // the first name claims 0x000006FF bytes
    bytes[1] = 0x06;
    std::vector<SPScoreLine> table = DefaultScoreTable();
    table[0].name = "kept";
    std::string error;
    EXPECT_FALSE(ReadScoreTable(bytes.data(), bytes.size(), table, error));
    EXPECT_EQ(table[0].name, "kept");
    EXPECT_NE(error.find("line 1"), std::string::npos) << error;
}

}  // namespace
