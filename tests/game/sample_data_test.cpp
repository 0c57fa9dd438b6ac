// The sample game's data files: they load without a word in the log, and everything they name
// exists where the game looks for it.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "game/PEnemyDatabase.h"
#include "game/PGameData.h"
#include "support/WorkingFolder.h"
#include "support/LogCapture.h"

namespace {

class SampleDataTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        testsupport::CopyGameFolder(VX_SAMPLE_DATA, m_folder.Path());
        m_log = testsupport::LogOf([&] {
            m_enemiesLoaded = m_enemies.Load("data\\enemies.dat");
            m_data.LoadGameData();
        });
    }

    // Every name of the set-up is "" or an item of its table.
    void ExpectItemsExist(const SPCarSetup& setup) const
    {
        for (const std::string& weapon : setup.weapons) {
            EXPECT_TRUE(weapon.empty() || m_data.FindWeaponInfo(weapon)) << weapon;
        }
        for (const std::string& item : setup.equipment) {
            EXPECT_TRUE(item.empty() || m_data.FindEquipmentInfo(item)) << item;
        }
        EXPECT_TRUE(setup.bumper.empty() || m_data.FindBumperInfo(setup.bumper)) << setup.bumper;
        EXPECT_TRUE(setup.engine.empty() || m_data.FindEngineInfo(setup.engine)) << setup.engine;
        EXPECT_TRUE(setup.armor.empty() || m_data.FindArmorInfo(setup.armor)) << setup.armor;
        EXPECT_TRUE(setup.mine.empty() || m_data.FindMineInfo(setup.mine)) << setup.mine;
        EXPECT_TRUE(setup.superWeapon.empty() || m_data.FindSuperWeaponInfo(setup.superWeapon)) << setup.superWeapon;
    }

    template <class Info>
    void ExpectTextsOf(const ItemList<Info>& list) const
    {
        EXPECT_FALSE(list.empty());
        for (const auto& [name, info] : list) {
            EXPECT_TRUE(m_data.FindText(info.nameKey)) << name << " " << info.nameKey;
            EXPECT_TRUE(m_data.FindText(info.descriptionKey)) << name << " " << info.descriptionKey;
        }
    }

    testsupport::WorkingFolder m_folder;
    CPEnemyDatabase m_enemies;
    CPGameData m_data;
    bool m_enemiesLoaded = false;
    std::string m_log;
};

TEST_F(SampleDataTest, EveryFileLoadsWithoutComplaint)
{
    EXPECT_EQ(m_log, "");
    EXPECT_TRUE(m_enemiesLoaded);
    EXPECT_GE(m_enemies.records.size(), 3u);
    EXPECT_EQ(m_enemies.GetRecord("tank").text3, "heavy armour");
    EXPECT_GE(m_data.shopPresets.size(), 3u);
    EXPECT_EQ(m_data.committedSetup.weapons[0], "lgun");
    EXPECT_EQ(m_data.enemyHealthFactor, 1.0f);
    for (const SPScoreLine& line : m_data.scoreTable) EXPECT_EQ(line, (SPScoreLine{"", 0})) << "a fresh table";
}

TEST_F(SampleDataTest, EveryItemHasItsTextsAndEveryUpgradeItsRecord)
{
    ExpectTextsOf(m_data.weaponList);
    ExpectTextsOf(m_data.mineList);
    ExpectTextsOf(m_data.superWeaponList);
    ExpectTextsOf(m_data.bumperList);
    ExpectTextsOf(m_data.equipmentList);
    ExpectTextsOf(m_data.armorList);
    ExpectTextsOf(m_data.engineList);
    for (const char* weapon : {"hmgun", "firethrower", "ssrlauncher"}) {
        for (const char* suffix : {"", "2", "3"}) EXPECT_TRUE(m_data.FindWeaponInfo(std::string(weapon) + suffix));
    }
    for (const char* super : {"super", "super2", "super3"}) EXPECT_TRUE(m_data.FindSuperWeaponInfo(super));
    for (const char* equipment : {"repair", "bullets", "firerate", "damage", "regeneration", "analyzer", "laser"}) {
        EXPECT_TRUE(m_data.FindEquipmentInfo(equipment)) << equipment;
    }
}

TEST_F(SampleDataTest, TheStartAndTheShopNameOnlyExistingItems)
{
    ExpectItemsExist(m_data.committedSetup);
    for (const SPCarSetup& preset : m_data.shopPresets) ExpectItemsExist(preset);
}

TEST_F(SampleDataTest, EveryTextTheGameAsksForIsThere)
{
    const char* const kKeys[] = {"df",      "ffd",      "lgu",     "pgu",    "rlu",     "nu",      "td",
                                 "gp",      "ar",       "na",      "mission", "autosave", "noname", "moon",
                                 "mars",    "jupiter",  "neptune", "saturn", "venus",   "gtpg",    "gtnl",
                                 // the key screen's names of keys and buttons
                                 "undefined", "space",  "enter",   "mwheel1", "mwheel2", "mlb",     "mrb"};
    for (const char* key : kKeys) {
        ASSERT_TRUE(m_data.FindText(key)) << key;
        EXPECT_NE(*m_data.FindText(key), "") << key;
    }
}

// The automatic purchase of mission n chooses among the presets 1 to 3n: three for every mission.
TEST_F(SampleDataTest, TheShopHoldsThreePresetsForEveryMission)
{
    size_t missions = 0;
    while (std::filesystem::is_regular_file(m_folder.Path() / "data/levels" / ("mission" + std::to_string(missions + 1)))) {
        ++missions;
    }
    EXPECT_GE(missions, 2u);
    EXPECT_EQ(m_data.shopPresets.size(), 3 * missions);
}

}  // namespace
