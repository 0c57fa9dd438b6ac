// The key-binding script functions over the input task.
#include <gtest/gtest.h>

#include <fstream>
#include <string>

#include "Input/NInput.h"
#include "core/PGlobalTimer.h"
#include "game/PGameData.h"
#include "platform/PathResolver.h"
#include "scriptapi/game_functions_fixture.h"

namespace {

class KeyBindingFunctionsTest : public GameFunctionsTest {
protected:
    void SetUp() override {
        GameFunctionsTest::SetUp();
        m_data.strings = {{"space", "SPACE"}, {"enter", "ENTER"}, {"mlb", "Left button"}};
        m_input = new CNInput;
    }
    void TearDown() override {
        m_input = nullptr;
        GameFunctionsTest::TearDown();
    }

    void WriteActions(const std::string& text) const {
        std::ofstream(m_folder.Path() / "Actions.cfg", std::ios::binary) << text;
        platform::InvalidateListings();
        ASSERT_GE(m_input->LoadActions("Actions.cfg"), 0);
    }

    CPGameData m_data;
    TPtr<CNInput> m_input;
};

TEST_F(KeyBindingFunctionsTest, ActionNamesShowSomeKeysAndLabelsAsTexts) {
    WriteActions("fire;Enter;Space\r\njump;mlb;mlb\r\nleft;Left;A\r\nfire;Space;undefined\r\n");
    // "fire" is listed twice: the map holds three actions, the tables four entries.
    EXPECT_EQ(Results("GetActionNames()"), "3|{,Left button,A,}|{SPACE,mlb,Left,SPACE}");
    EXPECT_EQ(m_data.strings.count("undefined"), 1u);
}

TEST_F(KeyBindingFunctionsTest, SavedBindingsReadBackWholeLabelsWithSemicolonsIncluded) {
    WriteActions("fire;\"Fire; main\";Space\r\njump;Jump;J\r\n");
    const std::string before = Results("GetActionNames()");
    EXPECT_EQ(before, "2|{SPACE,J}|{Fire; main,Jump}");
    EXPECT_EQ(Results("GetActionNames()", "SaveActions()"), before);
    CNInput reread;
    ASSERT_GE(reread.LoadActions("Actions.cfg"), 0);
    EXPECT_EQ(reread.GetActionMap().at("fire").label, "Fire; main");
}

TEST_F(KeyBindingFunctionsTest, SetActionBindsAnActionToAKeyTheOtherActionGivesUp) {
    const char* const unchanged = "2|{SPACE,J}|{Fire,Jump}";
    const struct {
        const char* call;
        const char* shown;
    } cases[] = {
        {"SetAction('jump', 'Space')", "2|{,SPACE}|{Fire,Jump}"},
        {"SetAction('fire', 'K')", "2|{K,J}|{Fire,Jump}"},
        {"SetAction('jump', 'mlb')", "2|{SPACE,Left button}|{Fire,Jump}"},
        {"SetAction('nobody', 'Space')", unchanged},
        {"SetAction('jump', nil)", unchanged},
        {"SetAction(nil, 'Space')", unchanged},
        {"SetAction({}, 'Space')", unchanged},
        {"SetAction('jump')", unchanged},
    };
    for (const auto& c : cases) {
        WriteActions("fire;Fire;Space\r\njump;Jump;J\r\n");
        EXPECT_EQ(Results("GetActionNames()", c.call), c.shown) << c.call;
    }
}

TEST_F(KeyBindingFunctionsTest, SetActionsStopsTheFrame) {
    g_frameDelta = 0.25f;
    EXPECT_EQ(Run(*m_script, "SetActions(false)"), "");
    EXPECT_EQ(g_frameDelta, 0.0f);
}

}  // namespace
