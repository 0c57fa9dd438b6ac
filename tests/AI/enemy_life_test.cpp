// An enemy's life: its spawn from the prototype, the hits it takes (walkers are never pushed),
// its payment and death events, the corpse's timing, and leaving play by every road with its
// counts lowered exactly once.
#include <cmath>
#include <functional>
#include <string>
#include <vector>

#include "Render/PRayQuery.h"
#include "physics/PhysicsConversions.h"
#include "physics/engine/PhysicsRigidBody.h"
#include "enemy_fixture.h"

namespace {

using Commands = std::vector<std::string>;

TEST_F(EnemyTest, ASpawnCopiesThePrototypeWithScaledHealthAndTallerBounds)
{
    m_gameData->enemyHealthFactor = 1.5f;
    AI_Entity* walker = Spawn("walker", 3.0f, 4.0f);
    ASSERT_NE(walker, nullptr);
    EXPECT_EQ(walker->health, 15.0f);
    EXPECT_EQ(walker->maxHealth, 15.0f);
    EXPECT_EQ(walker->Vehicle()->MaxSpeed(), 4.0f);
    EXPECT_EQ(walker->Vehicle()->MaxForce(), 4.0f);
    const CPGameObject& model = *walker->Model();
    EXPECT_EQ(model.GetPosition(), (PVector3{3.0f, 4.0f, 1.0f}));
    EXPECT_EQ(model.GetEntity(), walker);
    EXPECT_NE(walker->Model(), m_ai->FindPrototype("walker")->Model()) << "each enemy has its own copy";
    EXPECT_EQ(&walker->Type(), &m_ai->EnemyTypes().at("walker")) << "the kind's definition is shared, not copied";
    EXPECT_EQ(m_level->enemyObjects.back(), walker->Model());
    EXPECT_TRUE(m_ai->IsEnemy(walker));
    EXPECT_FALSE(m_ai->IsEnemy(m_ai->FindPrototype("walker")));
    EXPECT_EQ(m_ai->LiveCount("walker"), 1);
    EXPECT_EQ(m_ai->WalkerCount(), 1);

    // The modelled box is 1 high; segment tests find it up to four times that around its middle.
    for (const auto& [height, hits] : {std::pair{1.9f, true}, {-1.9f, true}, {2.1f, false}}) {
        SPRayQuery query;
        query.origin = {0.0f, 4.0f, 1.0f + height};
        query.direction = {1.0f, 0.0f, 0.0f};
        query.distance = 5.0f;
        EXPECT_EQ(walker->Model()->RayHit(query), hits) << height;
    }
}

TEST_F(EnemyTest, KindsWithoutAPrototypeOrAModelSpawnNothing)
{
    const size_t prototypes = m_ai->GetPrototypes().size();
    for (const char* kind : {"nobody", "ghost", ""}) {
        SCOPED_TRACE(kind);
        EXPECT_FALSE(m_ai->AddEnemy(kind, 0.0f, 0.0f));
        EXPECT_TRUE(m_ai->Manager().Entities().empty());
        EXPECT_EQ(m_ai->LiveCount(kind), 0);
        EXPECT_TRUE(m_level->enemyObjects.empty());
    }
    EXPECT_EQ(m_ai->GetPrototypes().size(), prototypes) << "looking kinds up adds no prototype";
    EXPECT_EQ(m_ai->WalkerCount(), 0);
}

TEST_F(EnemyTest, HitsHurtByTheirKindSilenceAndRamming)
{
    struct Case {
        const char* what;
        const char* kind;
        float health, amount;
        bool fromSource, silent, ram;
        float healthAfter;
        size_t gore;
    };
    const Case cases[] = {
        {"silent hit on blood", "walker", 100, 50, false, true, false, 100, 0},
        {"silent hit on oil", "scav", 100, 50, false, true, false, 50, 1},
        {"hit with a source: no gore", "walker", 100, 30, true, false, false, 70, 0},
        {"plain hit", "walker", 100, 30, false, false, false, 70, 1},
        {"ram on a weak enemy counts twice", "walker", 5, 6, false, false, true, -7, 1},
        {"ram on a stronger enemy does nothing", "walker", 6, 6, false, false, true, 6, 0},
        {"silent ram on blood counts once", "walker", 5, 3, false, true, true, 2, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        AI_Entity* enemy = Spawn(c.kind, 10.0f, 10.0f);
        ASSERT_NE(enemy, nullptr);
        const std::string gore = enemy->Type().goreName;
        const size_t goreBefore = LiveEffects(gore);
        enemy->health = c.health;
        enemy->OnDamage({10, 10, 1}, {1, 0, 0}, c.amount, c.fromSource, c.silent, c.ram);
        EXPECT_EQ(enemy->health, c.healthAfter);
        EXPECT_EQ(LiveEffects(gore) - goreBefore, c.gore);
    }
}

TEST_F(EnemyTest, PlayerShotsAndBlastsHurtWalkersWithoutPushingThemAndPushOtherKinds)
{
    static constexpr char kShots[] =
        "tracer trasser player;100;5;0.1;t;e;22;x;10;-1;none\n"
        "bolt s_plazma player;100;4;0.5;t;e;22;0;0;0;0;0;x;none\n"
        "blast s_explosion f;;g;1;2;3;4;2;16;4;0;0.5;1;1,1,1;b;0;c;0;m;none\n";
    m_weapons->LoadDefinitions(kShots, static_cast<int32_t>(sizeof(kShots) - 1));
    m_gameData->enemyHealthFactor = 100.0f;  // every hit leaves them alive
    struct Case {
        const char* shot;
        float from;  // how far before the enemy along x the shot starts
        const char* kind;
        bool pushed;
    };
    const Case cases[] = {
        {"tracer", 4.0f, "walker", false}, {"tracer", 4.0f, "scav", true},
        {"bolt", 3.0f, "walker", false},   {"bolt", 3.0f, "scav", true},
        {"blast", 3.0f, "walker", false},  {"blast", 3.0f, "scav", true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.shot << " at a " << c.kind);
        AI_Entity* enemy = Spawn(c.kind, 10.0f, 10.0f);
        ASSERT_NE(enemy, nullptr);
        const PVector3 at = enemy->Model()->GetPosition();
        m_weapons->Spawn(c.shot, at - PVector3{c.from, 0.0f, 0.0f}, {1.0f, 0.0f, 0.0f}, -1.0f, nullptr, nullptr, false);
        for (int frame = 0; frame < 3; ++frame) {
            g_frameDelta = 0.01f;
            m_weapons->Update();
        }
        EXPECT_LT(enemy->health, enemy->maxHealth);
        const PVector3 velocity = FromPhysics(enemy->Model()->GetPhysicData()->rigidBody->GetVelocity());
        EXPECT_EQ(velocity.x > 1.0f, c.pushed) << velocity.x;
        m_ai->StopLevel();
        m_weapons->Clear();
        m_ai->Start();
    }
}

TEST_F(EnemyTest, AKillPaysOnceAndTellsTheScriptsOnce)
{
    m_gameData->money = 100.0f;
    AI_Entity* walker = Spawn("walker", 10.0f, 20.0f);
    ASSERT_NE(walker, nullptr);
    m_scripts.Commands("levelscript");
    for (int hit = 0; hit < 3; ++hit) walker->OnDamage({10, 20, 1}, {0, 1, 0}, 40.0f, true, false, false);
    EXPECT_EQ(m_gameData->money, 125.0f);
    EXPECT_EQ(m_gameData->score, 25);
    EXPECT_EQ(m_scripts.Commands("gamemenu"), Commands{"change_money(125.000000)"});
    EXPECT_EQ(m_scripts.Commands("levelscript"), Commands{"enemy_death(walker,10.000000,20.000000,1.000000)"});
    EXPECT_EQ(walker->CurrentStateId(), AI_Entity::kDeath);
    EXPECT_EQ(m_ai->LiveCount("walker"), 0);
    EXPECT_EQ(m_ai->WalkerCount(), 0);
}

TEST_F(EnemyTest, AKillAtTheHighestScoreKeepsIt)
{
    m_gameData->score = INT32_MAX;
    AI_Entity* walker = Spawn("walker", 10.0f, 20.0f);
    ASSERT_NE(walker, nullptr);
    for (int hit = 0; hit < 3; ++hit) walker->OnDamage({10, 20, 1}, {0, 1, 0}, 40.0f, true, false, false);
    ASSERT_EQ(walker->CurrentStateId(), AI_Entity::kDeath);
    EXPECT_EQ(m_gameData->score, INT32_MAX) << "the score holds at its top instead of wrapping round";
}

TEST_F(EnemyTest, ARocketKilledBloodyEnemyBurstsIntoDebrisAndAnOilyOneDoesNot)
{
    for (const auto& [kind, bursts] : {std::pair{"walker", true}, {"scav", false}}) {
        SCOPED_TRACE(kind);
        AI_Entity* enemy = Spawn(kind, 10.0f, 10.0f);
        ASSERT_NE(enemy, nullptr);
        enemy->gibOnDeath = true;
        const size_t before = LiveEffects("gib1") + LiveEffects("gib2");
        enemy->OnDamage({10, 10, 1}, {0, 1, 0}, 1000.0f, true, false, false);
        const size_t pieces = LiveEffects("gib1") + LiveEffects("gib2") - before;
        if (bursts) {
            EXPECT_GE(pieces, 5u);
            EXPECT_LE(pieces, 9u);
        } else {
            EXPECT_EQ(pieces, 0u);
        }
    }
}

TEST_F(EnemyTest, EveryEnemyLeavesPlayLoweringItsCountsExactlyOnce)
{
    struct Case {
        const char* what;
        const char* kind;
        std::function<void(EnemyTest&, AI_Entity&)> leave;
        Commands events;
        float money;
    };
    const Case cases[] = {
        {"killed", "walker",
         [](EnemyTest&, AI_Entity& e) { e.OnDamage({0, 0, 0}, {0, 1, 0}, 1000.0f, true, false, false); },
         {"enemy_death(walker,10.000000,10.000000,1.000000)"}, 25.0f},
        {"dropped below the ground", "walker",
         [](EnemyTest&, AI_Entity& e) { e.Model()->SetPosition({10.0f, 10.0f, -1.0f}); }, {"enemy_invisible(walker)"},
         0.0f},
        {"given up far from the car", "scav",
         [this](EnemyTest&, AI_Entity& e) { OwnKind(e).loseRange = 5.0f; }, {"enemy_invisible(scav)"}, 0.0f},
        {"blown up by its own weak blast", "bomber",
         [](EnemyTest&, AI_Entity& e) {
             e.health = 1000.0f;
             e.SetAnimation("melee1", true, true, 5, -1);
             e.OnAnimationReport(5.0f);
         },
         {"enemy_death(bomber,10.000000,10.000000,1.000000)"}, 0.0f},
        {"blown up, then killed by a hit", "bomber",
         [](EnemyTest&, AI_Entity& e) {
             e.SetAnimation("melee1", true, true, 5, -1);
             e.OnAnimationReport(5.0f);
             e.OnDamage({0, 0, 0}, {0, 1, 0}, 1000.0f, true, false, false);
         },
         {"enemy_death(bomber,10.000000,10.000000,1.000000)"}, 10.0f},
        {"removed when the level stops", "walker", [this](EnemyTest&, AI_Entity&) { m_ai->StopLevel(); }, {}, 0.0f},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        m_gameData->money = 0.0f;
        AI_Entity* enemy = Spawn(c.kind, 10.0f, 10.0f);
        ASSERT_NE(enemy, nullptr);
        Frame();  // the first decision
        m_scripts.Commands("levelscript");
        c.leave(*this, *enemy);
        int frames = 0;
        while (!m_ai->Manager().Entities().empty() && frames < 2000) {
            Frame();
            ++frames;
        }
        EXPECT_TRUE(m_ai->Manager().Entities().empty());
        EXPECT_TRUE(m_level->enemyObjects.empty());
        EXPECT_EQ(m_ai->LiveCount(c.kind), 0);
        EXPECT_EQ(m_ai->WalkerCount(), 0);
        EXPECT_EQ(m_scripts.Commands("levelscript"), c.events);
        EXPECT_EQ(m_gameData->money, c.money);
        m_ai->Start();
    }
}

// A sinking corpse's second pass (its shadow on the ground) is drawn no more, for its model and
// every part below it.
TEST_F(EnemyTest, ACorpseLiesByItsKindThenSinksForFiveSeconds)
{
    // Enemy time advances 0.02 s on every second frame.
    struct Case {
        const char* kind;
        int lyingSteps;
    };
    for (const Case c : {Case{"walker", 98}, Case{"scav", 76}}) {
        SCOPED_TRACE(c.kind);
        AI_Entity* enemy = Spawn(c.kind, 10.0f, 10.0f);
        ASSERT_NE(enemy, nullptr);
        const TPtr<CPGameObject> part = Box("part", {0.0f, 0.0f, 0.5f}, {0.2f, 0.2f, 0.2f});
        ASSERT_TRUE(enemy->Model()->AddChild(part));
        const TPtr<CPGameObject> subpart = Box("subpart", {0.0f, 0.0f, 0.2f}, {0.1f, 0.1f, 0.1f});
        ASSERT_TRUE(part->AddChild(subpart));
        Frame();
        Frame();
        enemy->OnDamage({0, 0, 0}, {0, 1, 0}, 1000.0f, true, false, false);
        Frame();  // the dying step
        Frame();
        ASSERT_TRUE(enemy->finished);
        enemy->SetAnimation(enemy->animation.name, true, true, -1, -1);
        enemy->OnAnimationStopped();  // the death animation ends: the corpse's clock starts
        EXPECT_FALSE(enemy->Model()->HasCollision());
        EXPECT_TRUE(subpart->CastsShadow()) << "a lying corpse";
        const float z = enemy->Model()->GetPosition().z;
        int steps = 0;
        while (enemy->Model()->GetPosition().z == z && steps < 1000) {
            Frame();
            Frame();
            ++steps;
        }
        EXPECT_NEAR(steps, c.lyingSteps, 1);
        for (const CPGameObject* object : {enemy->Model().Get(), part.Get(), subpart.Get()}) {
            EXPECT_FALSE(object->CastsShadow()) << object->GetName();
        }
        int sinking = 1;
        while (!m_ai->Manager().Entities().empty() && sinking < 1000) {
            Frame();
            Frame();
            ++sinking;
        }
        EXPECT_NEAR(sinking, 251, 2) << "5 s of sinking, then the next frame's walk removes it";
    }
}

TEST_F(EnemyTest, DeadEnemiesLeaveInTheSameWalkAndTheOthersAreUpdatedOnce)
{
    std::vector<AI_Entity*> enemies;
    for (float x : {10.0f, 12.0f, 14.0f, 16.0f, 18.0f}) enemies.push_back(Spawn("scav", x, 10.0f));
    enemies[1]->dead = true;
    enemies[2]->dead = true;
    const TPtr<AI_Entity> kept[] = {TPtr<AI_Entity>(enemies[0]), TPtr<AI_Entity>(enemies[3]), TPtr<AI_Entity>(enemies[4])};
    Frame();
    ASSERT_EQ(m_ai->Manager().Entities().size(), 3u);
    EXPECT_EQ(m_ai->Manager().Vehicles().size(), 3u);
    EXPECT_EQ(m_level->enemyObjects.size(), 3u);
    for (const TPtr<AI_Entity>& enemy : kept) {
        EXPECT_TRUE(enemy->updateToggle) << "updated once";
        EXPECT_EQ(enemy->CurrentStateId(), AI_Entity::kPursuit);
    }
}

}  // namespace
