// The sample level loaded with the sample game data and weapons: the player's car, equipped as the
// level load does it, fires its light gun at a crate at the gun's own cadence and the tracer
// knocks the crate away, then lobs a mortar rocket that explodes. The level's streaming is stood
// in for: the crate is taken from its parking cell into the physics world, as driving near it will.
#include <cmath>
#include <filesystem>
#include <vector>

#include "game/PGameData.h"
#include "game/PPlayerCar.h"
#include "physics/PPhysicData.h"
#include "physics/engine/PhysicsRigidBody.h"
#include "level_fixture.h"
#include "weapons/PWeaponsSystem.h"

namespace {

constexpr float kFrame = 0.02f;

class LevelFiringTest : public LevelTest {
protected:
    void SetUp() override {
        LevelTest::SetUp();
        namespace fs = std::filesystem;
        for (const fs::directory_entry& file : fs::directory_iterator(fs::path(VX_SAMPLE_DATA) / "data")) {
            if (file.is_regular_file()) fs::copy(file.path(), m_folder.Path() / "data" / file.path().filename());
        }
        platform::InvalidateListings();
        m_data = std::make_unique<CPGameData>();
        m_data->LoadGameData();
        m_data->committedSetup.weapons = {"lgun", "rlauncher", ""};
        m_weapons = new CPWeaponsSystem;
        ASSERT_TRUE(m_weapons->Start());
        ASSERT_TRUE(m_level->Load("level1"));
        m_car = m_level->GetPlayerCar();
        ASSERT_TRUE(m_car);
    }
    void TearDown() override {
        m_weapons->Clear();
        m_weapons = nullptr;
        g_frameDelta = 0.0f;
        LevelTest::TearDown();
        m_data.reset();
    }

    // The parked dynamic object nearest the point, moved into the world and the active objects.
    TPtr<CPGameObject> Unpark(const PVector3& near) {
        for (CPLevel::ObjectList& cell : m_level->parkedCells) {
            for (auto it = cell.begin(); it != cell.end(); ++it) {
                const PVector3 at = (*it)->GetPosition();
                if (std::hypot(at.x - near.x, at.y - near.y) > 0.5f) continue;
                TPtr<CPGameObject> object = *it;
                cell.erase(it);
                object->GetPhysicData()->AddToWorld();
                m_physics->TrackObject(object);
                m_level->activeObjects.push_back(object);
                return object;
            }
        }
        return nullptr;
    }

    // One frame of the level: the car's update, the aim, the weapons' update.
    void Frame(const PVector3& aim, const TPtr<CPGameObject>& target) {
        g_frameDelta = kFrame;
        m_car->Update();
        m_level->SetWeaponPos(aim, target);
        m_weapons->Update();
    }

    size_t Live(const std::string& prototype) const {
        size_t count = 0;
        for (const TPtr<CPWeaponObject>& object : m_weapons->GetLiveObjects()) count += object->GetName() == prototype;
        return count;
    }

    std::unique_ptr<CPGameData> m_data;
    TPtr<CPWeaponsSystem> m_weapons;
    CPPlayerCar* m_car = nullptr;
};

TEST_F(LevelFiringTest, TheSampleWeaponsFileMakesEveryPrototypeTheGameSpawns) {
    for (const char* name :
         {"trasser11", "trasser12", "trasser13", "trasser14", "trasser15", "srocket1", "srocket1_1", "srocket1_2",
          "rocket1", "plazma", "plazma_2", "plazma_3", "plazma_bolt", "plazma_bolt2", "plazma_bolt3", "plazma_shot2",
          "plazma_shot3", "plazma_shot4", "sparks", "check_sparks", "player_death", "blood1", "oil1", "gib1", "gib2",
          "rocket_exp1", "rocket_exp2", "rocket_exp3", "mine_exp1", "mine_exp2", "mine_exp3"}) {
        const auto* pool = m_weapons->GetPool(name);
        EXPECT_TRUE(pool && !pool->empty()) << name;
    }
}

TEST_F(LevelFiringTest, TheLightGunFiresAtItsCadenceAndItsTracerKnocksTheCrateAway) {
    ASSERT_TRUE(m_car->weaponModel);
    EXPECT_EQ(m_car->weaponModel->GetName(), "lgun");
    EXPECT_TRUE(m_car->weaponModel->IsVisible());
    EXPECT_FALSE(m_car->FindChild("rlauncher")->IsVisible()) << "only the mounted weapon shows";
    const TPtr<CPGameObject> crate = Unpark({5.0f, -10.0f, 0.0f});
    ASSERT_TRUE(crate);
    const PhysicsRigidBody* body = crate->GetPhysicData()->rigidBody;
    ASSERT_TRUE(body);

    m_car->SetFireTrigger(true);
    std::vector<int> shotFrames;
    int hitFrame = 0;
    for (int frame = 1; frame <= 30; ++frame) {
        const float before = m_car->magazine[0];
        Frame(crate->GetPosition(), crate);
        if (m_car->magazine[0] < before) shotFrames.push_back(frame);
        const auto velocity = body->GetVelocity();
        if (!hitFrame && velocity.x * velocity.x + velocity.y * velocity.y > 0.0f) hitFrame = frame;
    }
    // Eight shots a second: a shot every 0.125 s, in the first frame whose cooldown is below 0.
    EXPECT_EQ(shotFrames, (std::vector<int>{1, 8, 15, 22, 29}));
    EXPECT_FLOAT_EQ(m_car->magazine[0], 1.0f - 5.0f / 40.0f);
    // The first tracer (120 units a second, its ray looking ahead of it) reaches the crate 20.7
    // units away within 0.2 s, not in the frame it is fired.
    EXPECT_GE(hitFrame, 2);
    EXPECT_LE(hitFrame, 10);
    const auto velocity = body->GetVelocity();
    const PVector3 shot = Vec3Normalize(crate->GetPosition() - m_car->GetPosition());
    EXPECT_GT(velocity.x * shot.x + velocity.y * shot.y, 0.1f) << "pushed along the shot";
}

TEST_F(LevelFiringTest, TheMortarLobsARocketThatExplodes) {
    m_car->SelectNextWeapon();
    ASSERT_EQ(m_car->currentWeaponName, "rlauncher");
    EXPECT_TRUE(m_car->FindChild("rlauncher")->IsVisible());
    EXPECT_FALSE(m_car->FindChild("lgun")->IsVisible());
    m_car->SetFireTrigger(true);
    const PVector3 aim{0.0f, -15.0f, 0.0f};
    Frame(aim, nullptr);
    m_car->SetFireTrigger(false);
    EXPECT_EQ(Live("rocket1"), 1u);
    bool exploded = false;
    for (int frame = 0; frame < 250 && !exploded; ++frame) {
        Frame(aim, nullptr);
        exploded = Live("rocket_exp2") > 0;
    }
    ASSERT_TRUE(exploded);
    EXPECT_EQ(Live("rocket1"), 0u);
    // The sample rocket flies at the speed the lob angle is reckoned for: it comes down on the aim.
    for (const TPtr<CPWeaponObject>& object : m_weapons->GetLiveObjects()) {
        if (object->GetName() != "rocket_exp2") continue;
        const PVector3& at = object->GetPosition();
        EXPECT_LT(std::hypot(at.x - aim.x, at.y - aim.y), 1.5f) << at.x << ", " << at.y;
    }
}

// The sample "gib1" (the crate model, 2.5 s): thrown up into the physics world, tracked while it
// flies, and out of the world once its time is up or the weapons are cleared.
TEST_F(LevelFiringTest, ThrownDebrisFliesInThePhysicsWorldUntilItsTimeIsUpOrTheWeaponsAreCleared) {
    m_weapons->Spawn("gib1", {0.0f, -20.0f, 3.0f}, {0.0f, 0.0f, 1.0f}, -1.0f, nullptr, nullptr, false);
    ASSERT_EQ(Live("gib1"), 1u);
    const TPtr<CPWeaponObject> piece = m_weapons->GetLiveObjects()[0];
    ASSERT_TRUE(piece->GetPhysicData() && piece->GetPhysicData()->rigidBody);
    EXPECT_TRUE(m_physics->IsTracked(piece.Get()));
    EXPECT_GT(piece->GetPhysicData()->rigidBody->GetVelocity().z, 0.0f) << "thrown upward";
    int frames = 0;
    while (Live("gib1") > 0 && frames < 200) {
        g_frameDelta = kFrame;
        m_weapons->Update();
        ++frames;
    }
    EXPECT_NEAR(frames * kFrame, 2.5f, 3.0f * kFrame) << "its lifetime";
    EXPECT_FALSE(m_physics->IsTracked(piece.Get()));

    m_weapons->Spawn("gib1", {0.0f, -20.0f, 3.0f}, {0.0f, 0.0f, 1.0f}, -1.0f, nullptr, nullptr, false);
    ASSERT_EQ(m_weapons->GetLiveObjects()[0], piece) << "the finished piece is thrown again";
    EXPECT_TRUE(m_physics->IsTracked(piece.Get()));
    m_weapons->Clear();
    EXPECT_FALSE(m_physics->IsTracked(piece.Get()));
}

}  // namespace
