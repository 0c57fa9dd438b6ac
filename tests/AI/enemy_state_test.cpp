// The enemy's decisions: when it decides, and what it decides from distance, reach and sight;
// the target it chases, and an enemy without a body.
#include <cmath>
#include <string>

#include "AI/SimpleVehicle.h"
#include "enemy_fixture.h"

namespace {

TEST_F(EnemyTest, ANewEnemyPursuesAtOnceAndDecidesAgainAfterItsStateInterval)
{
    AI_Entity* enemy = Spawn("walker", 0.0f, 20.0f);
    ASSERT_NE(enemy, nullptr);
    EXPECT_EQ(enemy->CurrentStateId(), -1);
    Frame();
    EXPECT_EQ(enemy->CurrentStateId(), AI_Entity::kPursuit) << "the first acting call decides";
    int frames = 0;
    float previousTimer = enemy->stateTimer;
    for (;;) {
        Frame();
        ++frames;
        if (enemy->stateTimer < previousTimer || frames > 100) break;
        previousTimer = enemy->stateTimer;
    }
    EXPECT_EQ(frames, 28) << "14 acting calls of 0.02 s, one every second frame";
}

struct DecisionCase {
    const char* what;
    const char* kind;
    AI_Entity::State from;
    float x;        // the enemy stands at (x, 0); the car at the origin, 1 wide along x
    bool blocked;   // a wall stands between them
    AI_Entity::State to;
};

TEST_F(EnemyTest, DecisionsFollowDistanceReachAndSight)
{
    // scav: fire range 30, keep away 9.6, lose range 120; walker: melee reach |(0, 1.5, 1)| = 1.80,
    // in reach while 5/6 of the probe to the car's side (x - 1) is within it, lose range 100.
    const DecisionCase cases[] = {
        {"pursuit opens fire only 2 inside the fire range", "scav", AI_Entity::kPursuit, 29.0f, false, AI_Entity::kPursuit},
        {"pursuit opens fire in range and sight", "scav", AI_Entity::kPursuit, 27.0f, false, AI_Entity::kFire},
        {"fire goes on up to the fire range", "scav", AI_Entity::kFire, 29.0f, false, AI_Entity::kFire},
        {"no fire without sight", "scav", AI_Entity::kPursuit, 20.0f, true, AI_Entity::kPursuit},
        {"fire without sight pursues", "scav", AI_Entity::kFire, 20.0f, true, AI_Entity::kPursuit},
        {"too near: evasion", "scav", AI_Entity::kPursuit, 5.0f, false, AI_Entity::kEvasion},
        {"evasion decides pursuit", "scav", AI_Entity::kEvasion, 5.0f, false, AI_Entity::kPursuit},
        {"melee in reach", "walker", AI_Entity::kPursuit, 3.1f, false, AI_Entity::kMelee},
        {"melee just out of reach", "walker", AI_Entity::kPursuit, 3.25f, false, AI_Entity::kPursuit},
        {"melee keeps on in reach", "walker", AI_Entity::kMelee, 3.0f, false, AI_Entity::kMelee},
        {"melee out of reach pursues", "walker", AI_Entity::kMelee, 8.0f, false, AI_Entity::kPursuit},
        {"wander decides pursuit", "walker", AI_Entity::kWander, 50.0f, false, AI_Entity::kPursuit},
        {"beyond the lose range: death", "walker", AI_Entity::kPursuit, 101.0f, false, AI_Entity::kDeath},
    };
    for (const DecisionCase& c : cases) {
        SCOPED_TRACE(c.what);
        TPtr<CPGameObject> wall = Box("wall", {c.x * 0.5f, 0.0f, 1.0f}, {0.2f, 3.0f, 3.0f});
        if (c.blocked) m_level->activeObjects.push_back(wall);
        AI_Entity* enemy = Spawn(c.kind, c.x, 0.0f);
        ASSERT_NE(enemy, nullptr);
        enemy->EnterState(c.from);
        enemy->Think();
        EXPECT_EQ(enemy->CurrentStateId(), c.to);
        EXPECT_EQ(enemy->vanishing, c.to == AI_Entity::kDeath);
        if (c.blocked) m_level->activeObjects.remove(wall);
        m_ai->Manager().StopLevel();
        m_ai->Start();
    }
}

TEST_F(EnemyTest, StandingOnTheCarsOriginChangesNothing)
{
    AI_Entity* enemy = Spawn("walker", 0.0f, 0.0f);
    ASSERT_NE(enemy, nullptr);
    enemy->EnterState(AI_Entity::kMelee);
    enemy->stateTimer = 2.0f;
    enemy->Think();
    EXPECT_EQ(enemy->CurrentStateId(), AI_Entity::kMelee);
    EXPECT_EQ(enemy->stateTimer, 2.0f);
}

TEST_F(EnemyTest, ADeadEnemyDecidesNothing)
{
    AI_Entity* enemy = Spawn("walker", 0.0f, 200.0f);
    ASSERT_NE(enemy, nullptr);
    enemy->EnterState(AI_Entity::kPursuit);
    enemy->health = 0.0f;
    enemy->Think();
    EXPECT_EQ(enemy->CurrentStateId(), AI_Entity::kPursuit);
    EXPECT_FALSE(enemy->vanishing);
}

TEST_F(EnemyTest, TheTargetTakesTheCarsFlatDirectionAndKeepsItsForwardWithoutOne)
{
    struct Case {
        const char* what;
        PVector3 direction;
        float speed;
        PVector3 forward;
        float expectedSpeed;
    };
    const Case cases[] = {
        {"ahead", {0, 3, 0}, 5, {0, 1, 0}, 5},
        {"reversing turns it round", {1, 0, 0.5f}, -3, {-1, 0, 0}, 3},
        {"straight up keeps the forward", {0, 0, 1}, 2, {-1, 0, 0}, 2},
        {"no direction keeps the forward", {0, 0, 0}, -4, {-1, 0, 0}, 4},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        m_ai->UpdateTargetVehicle(*m_level->playerCar, c.direction, c.speed);
        const SimpleVehicle& target = *m_ai->TargetVehicle();
        EXPECT_EQ(target.Forward(), c.forward);
        EXPECT_EQ(target.Speed(), c.expectedSpeed);
        EXPECT_EQ(target.Position(), m_level->playerCar->GetPosition());
    }
}

TEST_F(EnemyTest, AnEnemyWhoseModelHasNoBodyStillChasesWithoutRightingOrDriving)
{
    AI_Entity* ghost = m_ai->FindPrototype("ghost");
    ghost->SetModel(Box("ghost", {0.0f, 0.0f, 0.0f}, {0.5f, 0.5f, 0.5f}));
    AI_Entity* enemy = Spawn("ghost", 0.0f, 10.0f);
    ASSERT_NE(enemy, nullptr);
    ASSERT_FALSE(enemy->Model()->GetPhysicData());
    m_ai->UpdateTargetVehicle(*m_level->playerCar, {0.0f, 1.0f, 0.0f}, 0.0f);
    for (int frame = 0; frame < 200; ++frame) Frame();
    const PVector3 at = enemy->Model()->GetPosition();
    EXPECT_TRUE(std::isfinite(at.x) && std::isfinite(at.y) && std::isfinite(at.z));
    EXPECT_TRUE(m_ai->IsEnemy(enemy));
    EXPECT_NE(enemy->CurrentStateId(), AI_Entity::kDeath);
}

}  // namespace
