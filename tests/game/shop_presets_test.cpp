// The game data's money and automatic purchase of a preset set-up.
#include <gtest/gtest.h>

#include <climits>
#include <string>
#include <vector>

#include "game/PGameData.h"
#include "support/RunningScripts.h"
#include "support/WorkingFolder.h"

namespace {

SPCarSetup Preset(const std::string& weapon) {
    SPCarSetup setup;
    setup.weapons[0] = weapon;
    setup.weaponLevels = {1, 2, 3};
    return setup;
}

// Four presets worth 100, 200, 300 and 400, and a running "gamemenu" that hears the money.
class ShopPresetsTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(m_scripts.Start({"gamemenu t_interface"}));
        const char* names[] = {"w100", "w200", "w300", "w400"};
        for (int32_t i = 0; i < 4; ++i) {
            m_data.weaponInfos[names[i]].price = 100 * (i + 1);
            m_data.shopPresets.push_back(Preset(names[i]));
        }
        m_data.weaponInfos["old"].price = 250;
    }
    std::vector<std::string> MoneyCommands() { return m_scripts.Commands("gamemenu"); }

    testsupport::WorkingFolder m_folder;
    CPGameData m_data;
    testsupport::RunningScripts m_scripts;
};

TEST_F(ShopPresetsTest, BuysTheFirstAffordablePresetFromTheLastOfTheMissionDown) {
    struct Case {
        int32_t mission;
        float money;
        const char* edited;  // weapon of the edited set-up, "" for none
        const char* bought;  // weapon of the preset bought, "" for none
        float moneyAfter;
    };
    const Case cases[] = {
        {2, 350.0f, "", "w300", 50.0f},        // presets 3 (400) and 2
        {INT32_MAX, 350.0f, "", "w300", 50.0f},  // from the last preset there is
        {INT32_MAX, 1000.0f, "", "w400", 600.0f},
        {1, 1000.0f, "", "w300", 700.0f},       // presets 2, 1 and 0 only
        {2, 100.0f, "old", "w300", 50.0f},      // the edited set-up is traded in
        {2, 99.5f, "", "", 99.5f},              // nothing affordable
        {0, 1000.0f, "", "", 1000.0f},
        {INT32_MIN, 1000.0f, "", "", 1000.0f},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.mission);
        m_data.mission = c.mission;
        m_data.money = c.money;
        m_data.editedSetup = Preset(c.edited);
        m_data.editedSetup.weaponLevels = {0, 0, 0};
        const bool bought = *c.bought != '\0';
        EXPECT_EQ(m_data.BuyBestPreset(), bought);
        EXPECT_EQ(m_data.money, c.moneyAfter);
        if (bought) {
            EXPECT_EQ(m_data.editedSetup, Preset(c.bought)) << "every field, the weapon levels too";
            char expected[64];
            std::snprintf(expected, sizeof(expected), "change_money(%f)", c.moneyAfter);
            EXPECT_EQ(MoneyCommands(), std::vector<std::string>{expected});
        } else {
            EXPECT_EQ(m_data.editedSetup.weapons[0], c.edited);
            EXPECT_TRUE(MoneyCommands().empty());
        }
    }
}

TEST_F(ShopPresetsTest, NoPresetsBuyNothing) {
    m_data.shopPresets.clear();
    m_data.mission = 3;
    m_data.money = 1e6f;
    EXPECT_FALSE(m_data.BuyBestPreset());
    EXPECT_EQ(m_data.money, 1e6f);
}

}  // namespace
