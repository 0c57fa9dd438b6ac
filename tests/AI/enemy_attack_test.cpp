// Enemy attacks on their animation frames: a melee blow that reaches the car pushes it, damages
// it, throws sparks and plays the kind's hit sound, and one that falls short does nothing; a fire
// frame launches the weapon's shots from the muzzle towards the car, and the rocket weapons count
// their frames towards the next rocket.
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "Sound/NAudio.h"
#include "Sound/NSound.h"
#include "enemy_fixture.h"
#include "physics/PhysicsConversions.h"
#include "physics/engine/PhysicsRigidBody.h"
#include "platform/PathResolver.h"
#include "platform/Random.h"

namespace {

constexpr float kCarMass = 2.0f;

class EnemyAttackTest : public EnemyTest {
protected:
    void SetUp() override
    {
        EnemyTest::SetUp();
        static constexpr char kShots[] =
            "trasser23 trasser enemy; 90; 4; 0.08; particle_spark.tga; particle_add.fx; 23; sparks; 1; -1; none\n"
            "trasser23_1 trasser enemy; 90; 4; 0.08; particle_spark.tga; particle_add.fx; 23; sparks; 1; -1; none\n"
            "trasser23_2 trasser enemy; 90; 4; 0.08; particle_spark.tga; particle_add.fx; 23; sparks; 1; -1; none\n"
            "trasser21 trasser enemy; 90; 4; 0.08; particle_spark.tga; particle_add.fx; 23; sparks; 1; -1; none\n"
            "srocket2 trasser enemy; 90; 4; 0.08; particle_spark.tga; particle_add.fx; 23; sparks; 1; -1; none\n"
            "plazma_shot2 trasser enemy; 90; 4; 0.08; particle_spark.tga; particle_add.fx; 23; sparks; 1; -1; none\n"
            "plazma_shot4 trasser enemy; 90; 4; 0.08; particle_spark.tga; particle_add.fx; 23; sparks; 1; -1; none\n";
        m_weapons->LoadDefinitions(kShots, static_cast<int32_t>(sizeof(kShots) - 1));
    }

    // An enemy of the kind standing at (0, y) on the car's axis, facing the car along +y (its
    // kind's own heading, so its attack points are not turned).
    AI_Entity& Facing(const std::string& kind, float y)
    {
        AI_Entity* enemy = Spawn(kind, 0.0f, y);
        EXPECT_NE(enemy, nullptr);
        enemy->Vehicle()->SetPosition({0.0f, y, 1.0f});
        enemy->Vehicle()->SetForward(enemy->forward);
        return *enemy;
    }

    // The weapon objects launched since the last call, by name, in launch order.
    std::vector<TPtr<CPWeaponObject>> Launched(const std::string& name)
    {
        std::vector<TPtr<CPWeaponObject>> found;
        for (const TPtr<CPWeaponObject>& object : m_weapons->GetLiveObjects()) {
            if (object->GetName() == name) found.push_back(object);
        }
        return found;
    }
};

// The car (a 2 x 4 x 2 box at the origin, its near side at y = -2) has a body of mass 2 and
// hears its hits. The first melee record blows on the first frame, the second on the second.
TEST_F(EnemyAttackTest, AMeleeBlowThatReachesTheCarPushesDamagesSparksAndSounds)
{
    namespace fs = std::filesystem;
    fs::copy(fs::path(VX_SAMPLE_DATA) / "data" / "sounds", m_folder.Path() / "Data" / "sounds",
             fs::copy_options::recursive);
    platform::InvalidateListings();
    CNAudio audio;
    audio.Init(nullptr);
    ASSERT_TRUE(audio.HasDevice());
    const TPtr<CNSound> hitSound = audio.GetSound("enemy_hit");
    ASSERT_TRUE(hitSound);
    // Played a hundred times slower, the short hit still plays when the test looks, however busy
    // the machine.
    CNSound::SetFrequencyFactor(0.01f);

    CPGameObject& car = *m_level->playerCar;
    GiveUnitShape(car, kCarMass)->AddToWorld();
    ASSERT_TRUE(car.GetPhysicData()->rigidBody);
    car.SetScript(TPtr<CPLuaScript>(&m_scripts["gamemenu"]));

    struct Case {
        const char* animation;
        bool second;             // the second armed frame (OnAnimationMark)
        float enemyY;
        PVector3 point;          // the selected point of the blow
        bool reaches;
    };
    const Case cases[] = {
        {"melee1", false, -4.5f, {0.0f, 3.0f, 0.0f}, true},
        {"melee2", true, -4.5f, {0.5f, 3.0f, 0.0f}, true},
        {"melee1", false, -5.5f, {0.0f, 3.0f, 0.0f}, false},  // 3.5 to the car, a blow 3 long
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.animation) + (c.reaches ? " reaching" : " short"));
        m_ai->Manager().StopLevel();  // the enemy of the case before stands in the way
        AI_Entity& enemy = Facing("walker", c.enemyY);
        CPEnemyType& kind = OwnKind(enemy);
        CPAttackDef& attack = kind.melee[c.second ? 1 : 0];
        (c.second ? attack.secondHitPoint : attack.hitPoint) = c.point;
        attack.pushDirection = {1.0f, 0.0f, 0.0f};
        attack.pushStrength = c.second ? 2.0f : 5.0f;
        attack.damage = c.second ? 3.0f : 7.0f;
        kind.animationSounds[c.second ? "hit2" : "hit1"] = "enemy_hit";
        car.GetPhysicData()->rigidBody->SetVelocity({0.0f, 0.0f, 0.0f, 0.0f});
        hitSound->Stop();
        m_scripts.Commands("gamemenu");

        enemy.SetAnimation(c.animation, true, true, 5, 9);
        c.second ? enemy.OnAnimationMark(9.0f) : enemy.OnAnimationReport(5.0f);

        const PVector3 velocity = FromPhysics(car.GetPhysicData()->rigidBody->GetVelocity());
        const std::vector<TPtr<CPWeaponObject>> sparks = Launched("sparks");
        if (!c.reaches) {
            EXPECT_EQ(Vec3Length(velocity), 0.0f);
            EXPECT_TRUE(m_scripts.Commands("gamemenu").empty());
            EXPECT_TRUE(sparks.empty());
            EXPECT_FALSE(hitSound->IsPlaying());
            continue;
        }
        const float push = 3.0f * attack.pushStrength / kCarMass;
        EXPECT_NEAR(velocity.x, push, 1e-4f) << "three times the push strength along the push direction";
        EXPECT_NEAR(velocity.y, 0.0f, 1e-4f);
        char damage[32];
        std::snprintf(damage, sizeof(damage), "damage(%.6f)", static_cast<double>(attack.damage));
        EXPECT_EQ(m_scripts.Commands("gamemenu"), std::vector<std::string>{damage});
        ASSERT_EQ(sparks.size(), 1u);
        const PVector3 blow = c.point + PVector3{0.0f, c.enemyY, 1.0f};
        EXPECT_NEAR(Vec3Length(sparks[0]->GetLaunchPosition() - blow), 0.0f, 1e-4f) << "at the point of the blow";
        EXPECT_EQ(sparks[0]->GetLaunchDirection(), (PVector3{0.0f, 0.0f, 1.0f})) << "upwards";
        EXPECT_TRUE(hitSound->IsPlaying()) << "the kind's hit sound";
        m_weapons->Clear();
    }
    hitSound->Stop();
    CNSound::SetFrequencyFactor(1.0f);
}

// One fire frame of each weapon, the enemy 10 units south of the car: the shots' names and
// counts, launched at the muzzle, each within its spread of the line from the muzzle to 0.3
// above the car's origin. The heavy plasma fires on the first frame only.
TEST_F(EnemyAttackTest, AFireFrameLaunchesTheWeaponsShotsFromTheMuzzleTowardsTheCar)
{
    struct Case {
        const char* weapon;
        bool second;
        const char* shot;
        size_t count;
        float spread;
    };
    const Case cases[] = {
        {"hmgun", false, "trasser22", 1, 0.1f},      {"hmgun2", true, "trasser23_1", 2, 0.1f},
        {"shotgun", false, "trasser23", 8, 0.4f},    {"rocket2", false, "srocket2", 1, 0.0f},
        {"plasma", true, "plazma_shot2", 1, 0.0f},   {"mgun", false, "trasser21", 1, 0.0f},
        {"plasma3", false, "plazma_shot4", 1, 0.0f}, {"plasma3", true, "plazma_shot4", 0, 0.0f},
        {"flamer", false, "trasser22", 0, 0.0f},
    };
    const PVector3 muzzle{0.4f, 1.0f, 0.5f};
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.weapon) + (c.second ? " second frame" : " first frame"));
        AI_Entity& enemy = Facing("scav", -10.0f);
        CPEnemyType& kind = OwnKind(enemy);
        kind.weaponName = c.weapon;
        (c.second ? kind.fire.secondHitPoint : kind.fire.hitPoint) = muzzle;
        enemy.SetAnimation("fire", true, true, 3, 6);
        c.second ? enemy.OnAnimationMark(6.0f) : enemy.OnAnimationReport(3.0f);

        const PVector3 from = muzzle + PVector3{0.0f, -10.0f, 1.0f};
        const PVector3 aim = Vec3Normalize(m_level->playerCar->GetPosition() + PVector3{0.0f, 0.0f, 0.3f} - from);
        const std::vector<TPtr<CPWeaponObject>> shots = Launched(c.shot);
        EXPECT_EQ(shots.size(), c.count);
        EXPECT_EQ(m_weapons->GetLiveObjects().size(), c.count) << "nothing else";
        for (const TPtr<CPWeaponObject>& shot : shots) {
            EXPECT_NEAR(Vec3Length(shot->GetLaunchPosition() - from), 0.0f, 1e-4f);
            const float angle = std::acos(std::clamp(Vec3Dot(Vec3Normalize(shot->GetLaunchDirection()), aim), -1.0f, 1.0f));
            EXPECT_LE(angle, c.spread + 1e-3f);
        }
        m_weapons->Clear();
        m_ai->Manager().StopLevel();
    }
}

// The rocket weapons count their fire frames (both armed frames count): a rocket comes no earlier
// than the threshold's frame, and then on the first even draw; otherwise the frame fires the two
// tracers. The count starts again after each rocket.
TEST_F(EnemyAttackTest, RocketWeaponsFireARocketOnceTheirFramesReachTheThreshold)
{
    struct Case {
        const char* weapon;
        int32_t threshold;
        const char* tracer;
    };
    for (const Case c : {Case{"rocket", 10, "trasser23_2"}, Case{"rocket1_1", 3, "trasser23_1"}}) {
        SCOPED_TRACE(c.weapon);
        platform::Srand(11);
        AI_Entity& enemy = Facing("scav", -10.0f);
        OwnKind(enemy).weaponName = c.weapon;
        int32_t sinceRocket = 0;
        int32_t rockets = 0;
        for (int32_t frame = 0; frame < 60; ++frame) {
            const bool second = frame % 2 == 1;
            enemy.SetAnimation("fire", true, true, 3, 6);
            second ? enemy.OnAnimationMark(6.0f) : enemy.OnAnimationReport(3.0f);
            ++sinceRocket;
            const size_t rocket = Launched("srocket2").size();
            const size_t tracers = Launched(c.tracer).size();
            if (rocket == 1) {
                EXPECT_GE(sinceRocket, c.threshold) << "frame " << frame;
                EXPECT_EQ(tracers, 0u);
                EXPECT_EQ(enemy.rocketCounter, 0);
                sinceRocket = 0;
                ++rockets;
            } else {
                EXPECT_EQ(rocket, 0u);
                EXPECT_EQ(tracers, 2u) << "frame " << frame;
                EXPECT_EQ(enemy.rocketCounter, sinceRocket);
            }
            m_weapons->Clear();
        }
        EXPECT_GE(rockets, 2);
        m_ai->Manager().StopLevel();
    }
}

}  // namespace
