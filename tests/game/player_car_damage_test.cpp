// The player car's damage and death, and what the scripts hear of them.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <string>
#include <vector>

#include "game/PGameData.h"
#include "game/PPlayerCar.h"
#include "physics/PPhysicData.h"
#include "physics/PPhysics.h"
#include "physics/unit_shape.h"
#include "support/RunningScripts.h"
#include "support/WorkingFolder.h"

namespace {

// The scripts "gamemenu", "main" (category "main") and "level", whose commands the test reads.
class PlayerCarDamageTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(m_scripts.Start({"gamemenu t_interface", "main t_system main", "level t_level"}));
        m_car = new CPPlayerCar;
    }
    void TearDown() override {
        m_car = nullptr;
        m_scripts.Stop();
    }

    // Every command the scripts received since the last call, as "script:command".
    std::vector<std::string> Commands() {
        std::vector<std::string> commands;
        for (const char* name : {"gamemenu", "main", "level"}) {
            CPLuaScript& script = m_scripts[name];
            while (script.NextCommand()) commands.push_back(std::string(name) + ":" + script.GetCurrentCommand()->command);
        }
        return commands;
    }

    testsupport::WorkingFolder m_folder;
    CPGameData m_data;
    testsupport::RunningScripts m_scripts;
    TPtr<CPPlayerCar> m_car;
};

TEST_F(PlayerCarDamageTest, HitsWarnAtTwentyAndReportDeathOnce) {
    const float nan = std::numeric_limits<float>::quiet_NaN();
    struct Step {
        float health;  // before the hit; below 0: as the step before left it
        float amount;
        float factor;
        bool alive;
        float healthAfter;
        std::vector<std::string> commands;
    };
    const std::vector<Step> steps = {
        {25.0f, 10.0f, 1.0f, true, 15.0f, {"gamemenu:update_game_interface", "main:say_critical"}},
        {-1.0f, 5.0f, 1.0f, true, 10.0f, {"gamemenu:update_game_interface"}},
        {-1.0f, nan, 1.0f, true, 10.0f, {}},
        {-1.0f, 30.0f, 1.0f, false, 0.0f, {"gamemenu:update_game_interface", "main:player_dead"}},
        {-1.0f, 30.0f, 1.0f, false, 0.0f, {"gamemenu:update_game_interface"}},
        {50.0f, 20.0f, 1.5f, true, 20.0f, {"gamemenu:update_game_interface", "main:say_critical"}},
        {20.0f, 0.0f, 1.0f, true, 20.0f, {"gamemenu:update_game_interface"}},
        {30.0f, 30.0f, 1.0f, true, 0.0f, {"gamemenu:update_game_interface", "main:say_critical"}},
        {30.0f, 1.0f, nan, true, 30.0f, {}},
        {30.0f, std::numeric_limits<float>::infinity(), 1.0f, false, 0.0f,
         {"gamemenu:update_game_interface", "main:say_critical"}},  // dead already reported
    };
    for (size_t i = 0; i < steps.size(); ++i) {
        const Step& step = steps[i];
        SCOPED_TRACE(i);
        if (step.health >= 0.0f) m_car->health = step.health;
        m_data.playerDamageFactor = step.factor;
        EXPECT_EQ(m_car->ApplyDamage(step.amount), step.alive);
        EXPECT_EQ(m_car->health, step.healthAfter);
        EXPECT_EQ(Commands(), step.commands);
    }
}

TEST_F(PlayerCarDamageTest, KillTakesTheCarOutOfTheWorldAndTellsTheLevel) {
    TPtr<CPPhysics> physics(new CPPhysics);
    physics->Init();
    TPtr<CPPhysicData> data = GiveUnitShape(*m_car, 12.0f);
    data->AddToWorld();
    ASSERT_NE(data->rigidBody, nullptr);

    m_car->Kill();
    EXPECT_TRUE(m_car->dead);
    EXPECT_FALSE(m_car->IsVisible());
    EXPECT_FALSE(m_car->HasCollision()) << "rays pass through the wreck";
    EXPECT_EQ(data->rigidBody, nullptr);
    EXPECT_EQ(Commands(), std::vector<std::string>{"level:death"});
    m_car->SetPhysicData(nullptr);
    physics->Stop();
}

}  // namespace
