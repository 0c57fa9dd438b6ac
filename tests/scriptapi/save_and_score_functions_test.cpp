// The save-game and score-table script functions.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "game/PGameData.h"
#include "scriptapi/game_functions_fixture.h"
#include "support/WorkingFolder.h"

namespace {

namespace fs = std::filesystem;

class SaveAndScoreFunctionsTest : public GameFunctionsTest {
protected:
    CPGameData m_data;
};

TEST_F(SaveAndScoreFunctionsTest, SavesAreListedLoadedAndKeptInTheirFolder) {
    m_data.strings["autosave"] = "Autosave";
    EXPECT_EQ(Results("GetSaves()"), "13|{,,,,,,,,,,,,}");
    m_data.mission = 2;
    m_data.money = 12.9f;
    EXPECT_EQ(Results("GetSaves()", "SaveGame('save13.sav') SaveGame(nil) SaveGame({}) SaveGame('..\\\\x.sav')"),
              "13|{,,,,,,,,,,,,Autosave}");
    EXPECT_FALSE(fs::exists(m_folder.Path() / "x.sav"));
    m_data.mission = 5;
    EXPECT_EQ(Results("GetCurrentMission(), GetMoney()", "LoadGame({}) LoadGame('save1.sav') LoadGame('save13.sav')"),
              "2|12");
}

TEST_F(SaveAndScoreFunctionsTest, SaveGameSaysWhetherItWroteAndWhatItWroteLoadsBack) {
    m_data.mission = -4;
    m_data.committedSetup.superWeapon = "super";
    m_data.committedSetup.superWeaponCount = -5;
    EXPECT_EQ(Results("SaveGame('save6.sav'), SaveGame('..\\\\x.sav'), SaveGame(nil)"), "true|false|false");
    m_data.mission = 1;
    m_data.committedSetup.superWeaponCount = 2;
    EXPECT_EQ(Results("GetCurrentMission()", "LoadGame('save6.sav')"), "-4");
    EXPECT_EQ(m_data.committedSetup.superWeaponCount, -5);

    fs::create_directories(m_folder.Path() / "DATA" / "Saves" / "save7.sav");
    EXPECT_EQ(Results("SaveGame('save7.sav')"), "false") << "a save that cannot be written";
}

TEST_F(SaveAndScoreFunctionsTest, TheScoreTable) {
    m_data.strings["noname"] = "Nobody";
    m_data.scoreTable[11].score = 500;
    const struct {
        const char* setup;
        const char* call;
        const char* results;
    } cases[] = {
        {"", "IsInTable(500), IsInTable(500.9), IsInTable(501), IsInTable(nil)", "false|false|true|false"},
        {"SetScoreLine('noname', 300.7, 2.2)", "GetScoreLine(2)", "Nobody|300"},
        {"SetScoreLine('Ann', 900, 0)", "GetScoreLine(0)", "Ann|900"},
        {"SetScoreLine(nil, 1, 0) SetScoreLine('x', 1, 12) SetScoreLine('x', 1, -1) SetScoreLine('x', 1, 1e39)",
         "GetScoreLine(0)", "Ann|900"},
        {"", "GetScoreLine(12)", "|0"},
        {"", "GetScoreLine(-1)", "|0"},
        {"", "GetScoreLine(0/0)", "Ann|900"},
        {"", "AddScore(500)", "-1"},
        {"", "AddScore(4000), GetScoreLine(0)", "0|Ann|900"},  // the line is left to fill
    };
    for (const auto& c : cases) EXPECT_EQ(Results(c.call, c.setup), c.results) << c.setup << " " << c.call;

    CPGameData saved;
    saved.LoadScores();
    EXPECT_EQ(saved.scoreTable[2].name, "Nobody") << "a set line saves the table";
}

}  // namespace
