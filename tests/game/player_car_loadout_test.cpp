// The player's car equipped from the committed set-up, and what its per-frame step does with
// that equipment: the mine layer, the magazine refill, repair and the money income.
#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "Render/PGameObject.h"
#include "Render/PRenderObject.h"
#include "game/PGameData.h"
#include "game/PPlayerCar.h"
#include "game/player_car_fixture.h"
#include "support/CommaLocale.h"

namespace {

// A game data with one record of each kind the loadout reads, and a car with the two bumper
// children.
class PlayerCarLoadoutTest : public PlayerCarFixture {
protected:
    void SetUp() override {
        ASSERT_NO_FATAL_FAILURE(PlayerCarFixture::SetUp());
        for (const char* name : {"repair", "bullets", "firerate", "damage", "regeneration", "analyzer"}) {
            m_data.equipmentInfos[name].value = 2.0f;
        }
        m_data.armorInfos["armor3"].value = 250.0f;
        CPMineInfo mine;
        mine.shotCost = 1;
        mine.capacity = 10;
        mine.fireRate = 2.0f;
        m_data.mineInfos["minelayer"] = mine;
        m_data.engineInfos["engine2"].heatRate = 0.5f;
        for (const char* name : {"bumper1", "bumper_thorn"}) {
            TPtr<CPGameObject> bumper(new CPGameObject(name));
            bumper->SetEnabled(false);
            m_car->AddChild(bumper);
        }
    }
    void TearDown() override {
        g_damageMultiplier = 1.0f;
        PlayerCarFixture::TearDown();
    }

    CPGameData m_data;
};

TEST_F(PlayerCarLoadoutTest, AnEmptySetupGivesBaseHealthThreeSuperChargesAndNoEffects) {
    m_car->repairRate = 7.0f;
    m_car->engineTemperature = 0.5f;
    m_car->deathReported = true;
    g_damageMultiplier = 3.0f;
    EXPECT_TRUE(m_car->ApplyLoadout());
    EXPECT_EQ(m_car->health, 100.0f);
    EXPECT_EQ(m_car->maxHealth, 100.0f);
    EXPECT_EQ(m_data.committedSetup.superWeaponCount, 3);
    EXPECT_EQ(m_car->repairRate, 0.0f);
    EXPECT_EQ(g_damageMultiplier, 1.0f);
    EXPECT_EQ(m_car->engineTemperature, 0.0f);
    EXPECT_FALSE(m_car->deathReported);
    EXPECT_FALSE(m_car->hasMineLayer);
    ASSERT_TRUE(m_car->laserObject);
    EXPECT_EQ(m_car->laserObject->GetName(), "laser");
    EXPECT_FALSE(m_car->laserObject->IsVisible());
    EXPECT_EQ(m_car->laserRenderObject->GetIndexCount(), 6);
    EXPECT_FALSE(m_car->GetChild("bumper1")->IsVisible());
    EXPECT_FALSE(m_car->GetChild("bumper_thorn")->IsVisible());
    EXPECT_EQ(m_car->aimPoint.x, 0.0f);
    EXPECT_EQ(m_car->aimElevation, 0.0f);
    EXPECT_EQ(m_car->weaponKind, 0);
}

TEST_F(PlayerCarLoadoutTest, EachEquipmentSetsItsEffectAndEquipmentWithoutARecordIsSkipped) {
    struct Case {
        std::string equipment;
        float CPPlayerCar::*member;  // null: the damage factor
    };
    const Case cases[] = {
        {"repair", &CPPlayerCar::repairRate},         {"bullets", &CPPlayerCar::magazineFactor},
        {"firerate", &CPPlayerCar::fireRateFactor},   {"damage", nullptr},
        {"regeneration", &CPPlayerCar::rechargeFactor}, {"analyzer", &CPPlayerCar::incomeRate},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.equipment);
        m_data.committedSetup.equipment = {c.equipment, ""};
        m_car->ApplyLoadout();
        EXPECT_EQ(c.member ? m_car.Get()->*c.member : g_damageMultiplier, 2.0f);

        m_data.equipmentInfos.erase(c.equipment);
        m_car->ApplyLoadout();
        EXPECT_EQ(c.member ? m_car.Get()->*c.member : g_damageMultiplier, c.member == &CPPlayerCar::repairRate ||
                                                                                  c.member == &CPPlayerCar::incomeRate
                                                                              ? 0.0f
                                                                              : 1.0f)
            << "without a record the effect keeps its reset value";
    }
    m_data.committedSetup.equipment = {"horn", "laser"};
    m_car->ApplyLoadout();
    EXPECT_TRUE(m_car->laserSight);
    EXPECT_TRUE(m_car->laserObject->IsVisible());
}

TEST_F(PlayerCarLoadoutTest, ArmourMineBumperEngineAndSuperChargesComeFromTheSetup) {
    SPCarSetup& setup = m_data.committedSetup;
    setup.armor = "armor3";
    setup.mine = "minelayer";
    setup.bumper = "bamper1";
    setup.engine = "engine2";
    setup.superWeaponCount = 5;
    m_car->ApplyLoadout();
    EXPECT_EQ(m_car->health, 250.0f);
    EXPECT_EQ(m_car->maxHealth, 250.0f);
    EXPECT_TRUE(m_car->hasMineLayer);
    EXPECT_EQ(m_car->mineName, "minelayer");
    EXPECT_EQ(m_car->mineFill, 0.1f);
    EXPECT_TRUE(m_car->GetChild("bumper1")->IsVisible());
    EXPECT_FALSE(m_car->GetChild("bumper_thorn")->IsVisible());
    EXPECT_EQ(m_car->engineInfo.heatRate, 0.5f);
    EXPECT_EQ(setup.superWeaponCount, 5);

    setup.bumper = "spikes";
    m_car->ApplyLoadout();
    EXPECT_TRUE(m_car->GetChild("bumper_thorn")->IsVisible());
}

TEST_F(PlayerCarLoadoutTest, AStoreAtItsStartLaysExactlyOneMineAndAStoreWithoutCapacityLaysNone) {
    m_data.committedSetup.mine = "minelayer";
    m_car->ApplyLoadout();
    m_car->mineTrigger = true;
    Frame(0.1f);
    EXPECT_NEAR(m_car->mineFill, 0.0f, 1e-6f);
    EXPECT_EQ(m_car->mineShotTimer, 0.5f);
    Frame(0.5f);
    EXPECT_NEAR(m_car->mineFill, 0.0f, 1e-6f) << "0.1 of the store is one mine";

    for (const auto& [capacity, fireRate] : {std::pair{0, 2.0f}, std::pair{10, 0.0f}}) {
        SCOPED_TRACE(capacity);
        m_car->mineInfo.capacity = capacity;
        m_car->mineInfo.fireRate = fireRate;
        m_car->mineFill = 1.0f;
        m_car->mineShotTimer = 0.0f;
        Frame(0.1f);
        EXPECT_EQ(m_car->mineFill, 1.0f);
        EXPECT_TRUE(std::isfinite(m_car->mineShotTimer));
    }
}

TEST_F(PlayerCarLoadoutTest, TheMagazineRefillsToFullAndAMagazineWithoutCapacityIsFullAtOnce) {
    m_car->weaponInfo.capacity = 20;
    m_car->weaponInfo.rechargeRate = 4.0f;
    m_car->magazine[0] = 0.5f;
    m_car->reloading = true;
    Frame(0.5f);
    EXPECT_FLOAT_EQ(m_car->magazine[0], 0.6f);
    EXPECT_EQ(Commands(), (std::vector<std::string>{"update_game_interface()", "change_money(0.000000)"}));
    Frame(10.0f);
    EXPECT_EQ(m_car->magazine[0], 1.0f);
    Frame(0.1f);
    EXPECT_FALSE(m_car->reloading);

    m_car->weaponInfo.capacity = 0;
    m_car->magazine[0] = 0.2f;
    m_car->reloading = true;
    Frame(0.1f);
    EXPECT_EQ(m_car->magazine[0], 1.0f);
}

TEST_F(PlayerCarLoadoutTest, RepairStopsAtFullHealthAndMoneyIsReportedEveryFrameUntilTheCarDies) {
    m_car->ApplyLoadout();
    m_car->health = 90.0f;
    m_car->repairRate = 4.0f;
    m_data.money = 10.0f;
    Commands();
    Frame(1.0f);
    EXPECT_EQ(m_car->health, 94.0f);
    EXPECT_EQ(Commands(), (std::vector<std::string>{"change_money(10.000000)"})) << "also when nothing was earned";
    m_car->incomeRate = 2.0f;
    Frame(1.0f);
    EXPECT_EQ(m_car->health, 98.0f);
    EXPECT_EQ(m_data.money, 12.0f);
    Frame(1.0f);
    EXPECT_EQ(m_car->health, 100.0f);
    EXPECT_EQ(m_data.money, 14.0f);
    Commands();
    m_car->dead = true;
    Frame(1.0f);
    EXPECT_EQ(m_data.money, 14.0f);
    EXPECT_TRUE(Commands().empty());
}

TEST_F(PlayerCarLoadoutTest, TheReportedMoneyIgnoresTheLocale) {
    testsupport::CommaLocale comma;
    if (!comma.Active()) GTEST_SKIP() << "no comma-decimal locale installed";
    m_car->ApplyLoadout();
    m_data.money = 10.0f;
    m_car->incomeRate = 2.5f;
    Commands();
    Frame(1.0f);
    EXPECT_EQ(Commands(), (std::vector<std::string>{"change_money(12.500000)"}));
}

}  // namespace
