// The sample level through the level's own queries: the car takes a bonus by driving over it, and
// a mine goes off under an enemy, not under the car.
#include "AI/AI_Entity.h"
#include "sample_fixture.h"

namespace {

class SampleLevelTest : public SampleWeaponsTest {
protected:
    void SetUp() override {
        SampleWeaponsTest::SetUp();
        SetWeaponWorld(nullptr);  // the level answers
        ASSERT_TRUE(m_level->Load("level1"));
        ASSERT_NE(m_level->GetPlayerCar(), nullptr);
        ASSERT_TRUE(m_weapons->Start());
    }

    void DriveTo(const PVector3& position) {
        m_level->playerCar->SetPosition(position);
        m_level->playerCar->UpdateTransform();
    }
};

TEST_F(SampleLevelTest, TheCarTakesAnArmourBonusByDrivingOverIt) {
    CPPlayerCar& car = *m_level->GetPlayerCar();
    car.maxHealth = 1000.0f;
    car.health = 500.0f;
    const PVector3 place{10.0f, -30.0f, 0.0f};
    Spawn("armor_bonus", place, place);
    Frame(0.02f);
    EXPECT_EQ(LiveCount("armor_bonus"), 1u);
    EXPECT_EQ(car.health, 500.0f);

    DriveTo(place + PVector3{2.0f, 1.0f, 2.5f});
    Frame(0.02f);
    Frame(0.02f);
    Frame(0.02f);
    EXPECT_EQ(car.health, 600.0f);
    EXPECT_EQ(LiveCount("armor_bonus"), 0u);
    EXPECT_EQ(Commands(), (std::vector<std::string>{"mission_text2(" + m_data->GetText("ar") + ")",
                                                     "update_game_interface()"}));
}

TEST_F(SampleLevelTest, AMineGoesOffUnderAnEnemyButNotUnderTheCar) {
    const PVector3 place{20.0f, -20.0f, 0.5f};
    Spawn("minelayer", place, {0.0f, 0.0f, 0.0f});
    DriveTo(place + PVector3{1.0f, 0.0f, 2.0f});
    Frame(0.02f);
    EXPECT_EQ(LiveCount("minelayer"), 1u);

    AI_Entity entity;
    TPtr<CPGameObject> enemy(new CPGameObject("walker"));
    enemy->GetParts().emplace_back(PVector4{0.0f, 0.0f, 0.0f, 1.0f}, PVector4{0.5f, 0.5f, 0.5f, 0.0f});
    enemy->SetPosition(place + PVector3{-3.0f, 0.0f, 0.0f});
    enemy->UpdateTransform();
    enemy->SetEntity(&entity);
    m_level->AddEnemyObject(enemy);
    Frame(0.02f);
    EXPECT_EQ(LiveCount("minelayer"), 0u);
    EXPECT_EQ(LiveCount("mine_exp1"), 1u);
    m_level->RemoveObject(enemy.Get());
    enemy->SetEntity(nullptr);
}

}  // namespace
