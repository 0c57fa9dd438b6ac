// Damage: which objects lose health, the reward paid once at destruction, the level's target
// lists, the "damage" and "change_money" events, and the enemy link.
#include <fstream>
#include <limits>
#include <memory>
#include <string>
#include <vector>

#include "AI/AI_Entity.h"
#include "game/PGameData.h"
#include "game/PLevel.h"
#include "Render/IExplosionSpawner.h"
#include "Render/PMaterial.h"
#include "Render/PParticlesManager.h"
#include "gameobject_fixture.h"
#include "platform/Random.h"
#include "support/CommaLocale.h"

namespace {

using Commands = std::vector<std::string>;

constexpr PVector3 kHere{0.0f, 0.0f, 0.0f};
constexpr PVector3 kForward{1.0f, 0.0f, 0.0f};

class DamageTest : public SceneObjectTest {
protected:
    void SetUp() override {
        SceneObjectTest::SetUp();
        m_level = std::make_unique<CPLevel>();
        m_gameData = std::make_unique<CPGameData>();
    }

    void TearDown() override {
        g_damageMultiplier = 1.0f;
        m_gameData.reset();
        m_level.reset();
        SceneObjectTest::TearDown();
    }

    // A destructible object with 10 health and a reward of 2.5.
    TPtr<CPGameObject> Destructible(const std::string& name) {
        TPtr<CPGameObject> object = Make(name);
        object->SetDamageClass(CPGameObject::kDestructible);
        object->SetHealth(10.0f);
        object->SetReward(2.5f);
        return object;
    }

    void Hit(const TPtr<CPGameObject>& object, float amount, bool silent = false) {
        object->Damage(kHere, kForward, amount, false, silent, false);
    }

    std::unique_ptr<CPLevel> m_level;
    std::unique_ptr<CPGameData> m_gameData;
};

TEST_F(DamageTest, HealthFallsOnlyForCurrentTargets) {
    enum Target { kStageTarget, kNotATarget, kCurrentCheckPoint, kOtherCheckPoint };
    const struct {
        const char* what;
        int32_t damageClass;
        Target target;
        float healthAfter;
    } cases[] = {
        {"a target of the current stage", CPGameObject::kDestructible, kStageTarget, 6.0f},
        {"a target of no list", CPGameObject::kDestructible, kNotATarget, 10.0f},
        {"a target of the current check point", CPGameObject::kDestructible, kCurrentCheckPoint, 6.0f},
        {"a target of another check point", CPGameObject::kDestructible, kOtherCheckPoint, 10.0f},
        {"an object that is not destructible", 0, kStageTarget, 10.0f},
    };
    m_level->stageIndex = 1;
    m_level->checkPointIndex = 2;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        TPtr<CPGameObject> object = Destructible("crate");
        object->SetDamageClass(c.damageClass);
        if (c.target == kStageTarget) m_level->stageTargetObjects[1].push_back(object);
        if (c.target == kCurrentCheckPoint) object->SetCheckPoint(2);
        if (c.target == kOtherCheckPoint) {
            object->SetCheckPoint(1);
            m_level->stageTargetObjects[1].push_back(object);  // the check point decides, not the stage
        }
        Hit(object, 4.0f);
        EXPECT_FLOAT_EQ(object->GetHealth(), c.healthAfter);
        EXPECT_EQ(m_gameData->money, 0.0f);
    }
}

TEST_F(DamageTest, TheRewardIsPaidOnceAtDestruction) {
    TPtr<CPGameObject> object = Destructible("tower");
    m_level->stageTargetObjects[0] = {object, Make("other target")};
    m_gameData->money = 100.0f;
    m_gameData->score = 7;

    Hit(object, 6.0f);
    EXPECT_FLOAT_EQ(object->GetHealth(), 4.0f);
    EXPECT_EQ(m_gameData->score, 7);
    EXPECT_TRUE(m_level->IsStageTarget(object.Get()));

    Hit(object, 6.0f);
    EXPECT_FLOAT_EQ(object->GetHealth(), -2.0f);
    EXPECT_FLOAT_EQ(m_gameData->money, 103.0f);  // the reward 2.5 pays 3
    EXPECT_EQ(m_gameData->score, 10);
    EXPECT_FALSE(m_level->IsStageTarget(object.Get()));
    EXPECT_EQ(m_level->stageTargetObjects[0].size(), 1u);
    EXPECT_EQ(testsupport::ReceivedCommands(*m_gameMenu), Commands{"change_money(103.000000)"});

    // The wreck takes no more damage and pays nothing more, even as a target again.
    m_level->stageTargetObjects[0].push_back(object);
    Hit(object, 6.0f);
    EXPECT_FLOAT_EQ(object->GetHealth(), -2.0f);
    EXPECT_FLOAT_EQ(m_gameData->money, 103.0f);
    EXPECT_EQ(m_gameData->score, 10);
    EXPECT_TRUE(testsupport::ReceivedCommands(*m_gameMenu).empty());
}

TEST_F(DamageTest, ADestroyedCheckPointTargetLeavesTheCheckPointList) {
    m_level->checkPointIndex = 3;
    TPtr<CPGameObject> object = Destructible("pylon");
    TPtr<CPGameObject> other = Destructible("pylon");
    object->SetCheckPoint(3);
    m_level->checkPointTargetObjects[3] = {other, object};
    m_level->stageTargetObjects[0] = {other};

    Hit(object, 10.0f);
    EXPECT_EQ(m_level->checkPointTargetObjects[3], CPLevel::ObjectList{other});
    EXPECT_EQ(m_level->stageTargetObjects[0], CPLevel::ObjectList{other});
    EXPECT_FLOAT_EQ(m_gameData->money, 3.0f);
}

TEST_F(DamageTest, AFrontIsWreckedByItsFirstCountedHit) {
    TPtr<CPGameObject> front = Destructible("front");
    m_level->stageTargetObjects[0] = {front};
    Hit(front, 0.5f);
    EXPECT_EQ(front->GetHealth(), 0.0f);
    EXPECT_TRUE(m_level->stageTargetObjects[0].empty());
    EXPECT_FLOAT_EQ(m_gameData->money, 3.0f);
    EXPECT_EQ(m_gameData->score, 3);
}

TEST_F(DamageTest, TheDamageMultiplierScalesTheLoss) {
    g_damageMultiplier = 2.0f;
    TPtr<CPGameObject> object = Destructible("crate");
    m_level->stageTargetObjects[0] = {object};
    Hit(object, 3.0f);
    EXPECT_FLOAT_EQ(object->GetHealth(), 4.0f);
}

TEST_F(DamageTest, WithoutALevelNothingIsATarget) {
    m_level.reset();
    TPtr<CPGameObject> object = Destructible("crate");
    object->SetCheckPoint(0);
    Hit(object, 20.0f);
    EXPECT_FLOAT_EQ(object->GetHealth(), 10.0f);
    EXPECT_EQ(m_gameData->money, 0.0f);
}

TEST_F(DamageTest, AnOutOfRangeStageOrCheckPointMatchesNothing) {
    TPtr<CPGameObject> object = Destructible("crate");
    m_level->stageIndex = CPLevel::kListCount;
    m_level->checkPointIndex = -4;
    EXPECT_FALSE(m_level->IsStageTarget(object.Get()));
    m_level->RemoveTarget(object.Get());
    Hit(object, 20.0f);
    EXPECT_FLOAT_EQ(object->GetHealth(), 10.0f);
}

TEST_F(DamageTest, AnEnormousRewardStaysWithinTheScore) {
    TPtr<CPGameObject> object = Destructible("vault");
    object->SetReward(1e20f);
    m_level->stageTargetObjects[0] = {object};
    m_gameData->score = 5;
    Hit(object, 20.0f);
    EXPECT_EQ(m_gameData->score, std::numeric_limits<int32_t>::max());
}

TEST_F(DamageTest, TheScriptHearsEveryHitUnlessSilent) {
    TPtr<CPGameObject> object = Make("guard");  // not destructible: only the event
    TPtr<CPLuaScript> script = NewScript();
    object->SetScript(script);
    script->Start();

    Hit(object, 2.5f);
    Hit(object, 1.0f, true);
    Hit(object, 0.125f);
    EXPECT_EQ(testsupport::ReceivedCommands(*script), (Commands{"damage(2.500000)", "damage(0.125000)"}));
}

TEST_F(DamageTest, EventNumbersIgnoreTheLocale) {
    testsupport::CommaLocale comma;
    if (!comma.Active()) GTEST_SKIP() << "no comma-decimal locale installed";
    TPtr<CPGameObject> object = Destructible("crate");
    TPtr<CPLuaScript> script = NewScript();
    object->SetScript(script);
    script->Start();
    m_level->stageTargetObjects[0] = {object};
    m_gameData->money = 0.5f;

    Hit(object, 12.75f);
    EXPECT_EQ(testsupport::ReceivedCommands(*script), Commands{"damage(12.750000)"});
    EXPECT_EQ(testsupport::ReceivedCommands(*m_gameMenu), Commands{"change_money(3.500000)"});
}

TEST_F(DamageTest, GibOnDeathIsSetOnAnOddDraw) {
    AI_Entity entity;
    TPtr<CPGameObject> model = Make("enemy");
    model->SetEntity(&entity);
    for (unsigned seed = 1; seed <= 8; ++seed) {
        SCOPED_TRACE(seed);
        platform::Srand(seed);
        const bool odd = platform::Rand() % 2 == 1;
        const int next = platform::Rand();

        platform::Srand(seed);
        entity.gibOnDeath = false;
        model->MaybeSetGibOnDeath(true);
        EXPECT_EQ(entity.gibOnDeath, odd);
        EXPECT_EQ(platform::Rand(), next);  // exactly one draw
    }

    // Without an entity there is no draw.
    TPtr<CPGameObject> plain = Make("plain");
    platform::Srand(3);
    const int first = platform::Rand();
    platform::Srand(3);
    plain->MaybeSetGibOnDeath(true);
    EXPECT_EQ(platform::Rand(), first);
}

}  // namespace

namespace {

// Records what the scene objects ask of the explosion spawner.
class RecordingSpawner : public IExplosionSpawner {
public:
    RecordingSpawner() { Install(this); }
    ~RecordingSpawner() { Uninstall(this); }
    void SpawnExplosion(const char* name, const PVector3& point) override {
        explosions.push_back(name);
        points.push_back(point);
    }
    void PlayExplosionSound(const char* name) override { sounds.push_back(name); }

    Commands explosions;
    std::vector<PVector3> points;
    Commands sounds;
};

TEST_F(DamageTest, WrecksExplodeThroughTheInstalledSpawner) {
    enum Action { kHitToDestruction, kFirstHit, kSecondaryExplosion };
    const struct {
        const char* what;
        const char* name;
        int32_t damageClass;
        bool damagedMaterial;
        Action action;
        Commands explosions;
        Commands sounds;
    } cases[] = {
        {"a destroyed target", "tank", CPGameObject::kDestructible, false, kHitToDestruction, {}, {"big_exp"}},
        {"a wrecked front", "front", CPGameObject::kDestructible, true, kFirstHit, {"mine_exp2"}, {}},
        {"a front without a damaged look", "front", CPGameObject::kDestructible, false, kFirstHit, {}, {}},
        {"a burning wreck", "tank", CPGameObject::kDestructible, true, kSecondaryExplosion, {"rocket_exp3"}, {}},
        {"an object that is not destructible", "tank", 0, true, kSecondaryExplosion, {}, {}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        RecordingSpawner spawner;
        TPtr<CPGameObject> object = Destructible(c.name);
        object->SetDamageClass(c.damageClass);
        if (c.damagedMaterial) object->SetDamagedMaterial(TPtr<CPMaterial>(new CPMaterial(20, nullptr, nullptr)));
        object->GetParts().emplace_back(PVector4{0.0f, 0.0f, 0.0f, 1.0f}, PVector4{1.0f, 1.0f, 1.0f, 0.0f});
        object->SetPosition({3.0f, 4.0f, 5.0f});
        object->UpdateTransform();
        m_level->stageTargetObjects[0] = {object};
        if (c.action == kHitToDestruction) Hit(object, 20.0f);
        if (c.action == kFirstHit) Hit(object, 1.0f);
        if (c.action == kSecondaryExplosion) object->SecondaryExplosion();
        EXPECT_EQ(spawner.explosions, c.explosions);
        EXPECT_EQ(spawner.sounds, c.sounds);
        // Within half the part bounds around the object, on or above its place.
        for (const PVector3& point : spawner.points) {
            EXPECT_NEAR(point.x, 3.0f, 0.5f);
            EXPECT_NEAR(point.y, 4.0f, 0.5f);
            EXPECT_GE(point.z, 5.0f);
            EXPECT_LE(point.z, 5.5f);
        }
    }

    // Without a spawner a wreck still pays and leaves its lists.
    m_gameData->money = 0.0f;
    TPtr<CPGameObject> object = Destructible("front");
    object->SetDamagedMaterial(TPtr<CPMaterial>(new CPMaterial(20, nullptr, nullptr)));
    m_level->stageTargetObjects[0] = {object};
    Hit(object, 1.0f);
    EXPECT_TRUE(m_level->stageTargetObjects[0].empty());
    EXPECT_FLOAT_EQ(m_gameData->money, 3.0f);
}

TEST_F(DamageTest, AWreckWithoutPartsExplodesAtItsPlace) {
    RecordingSpawner spawner;
    TPtr<CPGameObject> object = Destructible("tank");
    object->SetDamagedMaterial(TPtr<CPMaterial>(new CPMaterial(20, nullptr, nullptr)));
    object->SetPosition({3.0f, 4.0f, 5.0f});
    object->UpdateTransform();
    object->SecondaryExplosion();
    ASSERT_EQ(spawner.points.size(), 1u);
    EXPECT_EQ(spawner.points[0], (PVector3{3.0f, 4.0f, 5.0f}));
}

TEST_F(DamageTest, TheFirstHitLightsTheFlameAndDestructionBurnsItOut) {
    std::ofstream("Data/particlesystems.dat") << "smoke puff 1 1 0 1 0 0 0 0 1 0 0 0 0 0 0\n";
    std::ofstream("Data/flames.dat") << "smoke;0.1;3;0\n";
    platform::InvalidateListings();
    TPtr<CPParticlesManager> particles(new CPParticlesManager);
    ASSERT_TRUE(particles->Start());
    TPtr<CPGameObject> object = Destructible("tank");
    object->SetFlameIndex(0);
    m_level->stageTargetObjects[0] = {object};

    Hit(object, 4.0f);
    ASSERT_TRUE(object->GetFlame());
    EXPECT_TRUE(object->GetFlame()->IsRunning());
    EXPECT_FALSE(object->GetFlame()->IsBurningOut());
    EXPECT_EQ(object->GetFlameIndex(), -1);

    Hit(object, 8.0f);
    EXPECT_TRUE(object->GetFlame()->IsBurningOut());
    object->GetFlame()->Stop();
}

}  // namespace
