// The script functions that bring weapon objects into play: Shot, SetBonus, SetBonus2 and SmartBomb.
#include <gtest/gtest.h>

#include <lua.hpp>

#include <cmath>
#include <memory>
#include <string>
#include <vector>

#include "game/PGameData.h"
#include "game/PMission.h"
#include "game/PLevel.h"
#include "Render/PGameObject.h"
#include "script/ScriptHandles.h"
#include "scriptapi/game_functions_fixture.h"
#include "scriptapi/BonusDraw.h"
#include "platform/Random.h"
#include "support/RunningScripts.h"
#include "weapons/PWeaponsSystem.h"

namespace {

// A weapons system with the prototypes "m" and "laser_u" that stay live once spawned, and a running script
// "gamemenu" whose commands the tests read.
class WeaponFunctionsTest : public RegisteredGameTablesTest {
protected:
    void SetUp() override {
        RegisteredGameTablesTest::SetUp();
        ASSERT_TRUE(m_scripts.Start({"gamemenu t_interface"}));
        m_weapons = new CPWeaponsSystem;
        const std::string definitions = "m simple m;player;1;2;n;none\nlaser_u simple laser_u;player;1;2;n;none\n";
        m_weapons->LoadDefinitions(definitions.data(), static_cast<int32_t>(definitions.size()));
        m_script = LoadScript("caller", "");
    }
    void TearDown() override {
        m_script = nullptr;
        m_weapons->Clear();
        m_weapons = nullptr;
        m_scripts.Stop();
        RegisteredGameTablesTest::TearDown();
    }

    const std::vector<TPtr<CPWeaponObject>>& Live() const { return m_weapons->GetLiveObjects(); }

    std::vector<std::string> MenuCommands() {
        CPLuaScript& menu = m_scripts["gamemenu"];
        std::vector<std::string> commands;
        while (menu.NextCommand()) commands.push_back(menu.GetCurrentCommand()->command);
        return commands;
    }

    testsupport::RunningScripts m_scripts;
    TPtr<CPWeaponsSystem> m_weapons;
    TPtr<CPLuaScript> m_script;
};

TEST_F(WeaponFunctionsTest, ShotFiresFromAPointOfTheObjectAlongItsVectorLaidOnTheGround) {
    TPtr<CPGameObject> turned(new CPGameObject("turned"));
    turned->SetPosition({10.0f, 0.0f, 3.0f});
    const float half = std::sqrt(0.5f);
    turned->SetRotation({0.0f, 0.0f, half, half});  // a quarter turn about z
    turned->UpdateTransform();
    SetHandle(*m_script, "turned", turned.Get());

    EXPECT_EQ(Run(*m_script, "Shot('m', turned, 0, 0, 1, 2, 0, 0)"), "");
    ASSERT_EQ(Live().size(), 1u);
    const PVector3& from = Live()[0]->GetLaunchPosition();
    const PVector3& along = Live()[0]->GetLaunchDirection();
    EXPECT_NEAR(from.x, 10.0f, 1e-5f);
    EXPECT_NEAR(from.y, 0.0f, 1e-5f);
    EXPECT_EQ(from.z, 0.0f);
    EXPECT_NEAR(along.x, 0.0f, 1e-5f);
    EXPECT_NEAR(std::fabs(along.y), 1.0f, 1e-5f) << "the object's x is the world's y";
    EXPECT_EQ(along.z, 0.0f);

    EXPECT_EQ(Run(*m_script, "Shot('m', turned, 1, 0, 0, 0, 0, 1)"), "");  // straight up: no ground vector
    ASSERT_EQ(Live().size(), 2u);
    EXPECT_EQ(Live()[1]->GetLaunchDirection(), (PVector3{0.0f, 0.0f, 0.0f}));

    EXPECT_EQ(Run(*m_script, "Shot('m', nil, 0, 0, 0, 1, 0, 0) Shot('nothing', turned, 0, 0, 0, 1, 0, 0)"), "");
    EXPECT_EQ(Live().size(), 2u);
    EXPECT_NE(Run(*m_script, "Shot(nil, turned, 0, 0, 0, 1, 0, 0)"), "") << "the name is checked";
}

TEST_F(WeaponFunctionsTest, SetBonus2DropsTheNamedObjectOnTheGround) {
    EXPECT_EQ(Run(*m_script, "SetBonus2(3, -4, 'm') SetBonus2(1, 1, nil) SetBonus2(1, 1, 'unknown')"), "");
    ASSERT_EQ(Live().size(), 1u);
    EXPECT_EQ(Live()[0]->GetLaunchPosition(), (PVector3{3.0f, -4.0f, 0.0f}));
    EXPECT_EQ(Live()[0]->GetLaunchDirection(), (PVector3{3.0f, -4.0f, 0.0f}));
}

TEST_F(WeaponFunctionsTest, SetBonusDropsFromTheCheckPointsTableOnlyForACheckPointOfTheMission) {
    CPGameData data;
    const ChanceBands always = {{"m", 0, 100}};
    const ChanceBands upgrade = {{"laser_u", 0, 100}};
    data.checkPoints.resize(2);
    data.checkPoints[0].bonusChance = 100;
    data.checkPoints[0].bonusBands = always;
    data.checkPoints[1].bonusChance = 100;
    data.checkPoints[1].bonusBands = upgrade;
    const struct {
        const char* call;
        bool fullyUpgraded;
        const char* dropped;  // null for nothing
    } cases[] = {
        {"SetBonus(3, -4, 0)", false, "m"},
        {"SetBonus(3, -4, 0.9)", false, "m"},  // the index is truncated
        {"SetBonus(3, -4, 1)", false, "laser_u"},
        {"SetBonus(3, -4, 1)", true, nullptr},  // nothing left to upgrade
        {"SetBonus(3, -4, 0)", true, "m"},
        {"SetBonus(3, -4, -1)", false, nullptr},
        {"SetBonus(3, -4, 2)", false, nullptr},
        {"SetBonus(3, -4, 2^40)", false, nullptr},
        {"SetBonus(3, -4, 0/0)", false, "m"},  // NaN reads as check point 0
        {"SetBonus(3, -4)", false, "m"},
    };
    for (const auto& c : cases) {
        data.committedSetup.weaponLevels = c.fullyUpgraded ? std::array<int32_t, 3>{4, 4, 4}
                                                           : std::array<int32_t, 3>{0, 4, 4};
        data.committedSetup.superWeapon = c.fullyUpgraded ? "super3" : "super";
        EXPECT_EQ(Run(*m_script, c.call), "");
        EXPECT_EQ(Live().size(), c.dropped ? 1u : 0u) << c.call;
        if (c.dropped && Live().size() == 1) {
            EXPECT_EQ(Live()[0]->GetName(), c.dropped) << c.call;
            EXPECT_EQ(Live()[0]->GetLaunchPosition(), (PVector3{3.0f, -4.0f, 0.0f})) << c.call;
            EXPECT_EQ(Live()[0]->GetLaunchDirection(), (PVector3{3.0f, -4.0f, 0.0f})) << c.call;
        }
        m_weapons->Clear();
    }
}

TEST_F(WeaponFunctionsTest, SetBonusDrawsFromTheSeededGeneratorWithoutReseedingIt) {
    CPGameData data;
    data.checkPoints.resize(1);
    data.checkPoints[0].bonusChance = 25;
    data.checkPoints[0].bonusBands = {{"m", 0, 50}, {"laser_u", 50, 100}};
    data.bonusChanceFactor = 2.0f;
    // The drops of 200 calls, as names in call order ("-" for none).
    const auto drops = [&](unsigned seed) {
        platform::Srand(seed);
        std::string names;
        for (int call = 0; call < 200; ++call) {
            EXPECT_EQ(Run(*m_script, "SetBonus(0, 0, 0)"), "");
            names += Live().empty() ? "-" : Live()[0]->GetName();
            m_weapons->Clear();
        }
        return names;
    };
    const std::string first = drops(11);
    EXPECT_EQ(drops(11), first);
    platform::Srand(11);
    std::string expected;
    for (int call = 0; call < 200; ++call) {
        const std::string name = DrawBonus(25, 2.0f, data.checkPoints[0].bonusBands);
        expected += name.empty() ? "-" : name;
    }
    EXPECT_EQ(first, expected) << "the draws follow the seed, as the draw helper's do";
    EXPECT_NE(first.find("laser_u"), std::string::npos);
    EXPECT_NE(first.find('-'), std::string::npos);
}

TEST_F(WeaponFunctionsTest, SmartBombSpendsOneChargeFromTheCarAndTellsTheInterface) {
    CPGameData data;
    data.committedSetup.superWeapon = "m";
    data.committedSetup.superWeaponCount = 1;
    EXPECT_EQ(Run(*m_script, "SmartBomb()"), "");  // no level: nothing, the charge is kept
    EXPECT_TRUE(Live().empty());
    EXPECT_EQ(data.committedSetup.superWeaponCount, 1);

    CPLevel level;
    level.playerCar = new CPGameObject("PLAYER");
    level.playerCar->SetPosition({5.0f, 6.0f, 1.0f});
    level.playerHeading = 0.0f;
    EXPECT_EQ(Run(*m_script, "SmartBomb()"), "");
    ASSERT_EQ(Live().size(), 1u);
    EXPECT_EQ(Live()[0]->GetLaunchPosition(), (PVector3{5.0f, 6.0f, 1.0f}));
    EXPECT_EQ(Live()[0]->GetLaunchDirection(), (PVector3{1.0f, 0.0f, 0.0f}));
    EXPECT_EQ(data.committedSetup.superWeaponCount, 0);
    EXPECT_EQ(MenuCommands(), (std::vector<std::string>{"update_game_interface"}));

    EXPECT_EQ(Run(*m_script, "SmartBomb()"), "");
    EXPECT_EQ(Live().size(), 1u);
    EXPECT_EQ(data.committedSetup.superWeaponCount, 0);
    EXPECT_TRUE(MenuCommands().empty());
    m_weapons->Clear();
}

}  // namespace
