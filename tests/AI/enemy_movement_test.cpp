// Enemy movement: an evading enemy runs from the car, a wandering one takes a random walk, and
// both steer away from an obstacle in their way, except from the ground ("land") and the car.
#include <string>

#include "enemy_fixture.h"
#include "platform/Random.h"

namespace {

// The obstacle in the way of an enemy at (0, -6) running south: a 1 x 1 x 2 box ahead of it and
// a little to the east, within the half second of its run that it looks ahead.
constexpr PVector3 kObstacleAt{0.5f, -7.5f, 1.0f};

enum class Obstacle { None, Box, Land, Car };

class EnemyMovementTest : public EnemyTest {
protected:
    // The walker's flat heading after five acting steps in the state, started at (0, -6) running
    // south at full speed with the game's random sequence started afresh, the car standing at
    // the origin as its target.
    PVector3 HeadingAfterSteps(int32_t state, Obstacle obstacle)
    {
        TPtr<CPGameObject> box;
        if (obstacle == Obstacle::Box || obstacle == Obstacle::Land) {
            box = Box(obstacle == Obstacle::Box ? "crate" : "land", kObstacleAt, {0.5f, 0.5f, 1.0f});
            m_level->activeObjects.push_back(box);
        } else if (obstacle == Obstacle::Car) {
            m_level->playerCar->SetPosition(kObstacleAt);
            m_level->playerCar->UpdateTransform();
        }
        m_ai->TargetVehicle()->SetPosition({0.0f, 0.0f, 1.0f});
        AI_Entity* enemy = Spawn("walker", 0.0f, -6.0f);
        EXPECT_NE(enemy, nullptr);
        enemy->Vehicle()->SetForward({0.0f, -1.0f, 0.0f});
        enemy->Vehicle()->SetSpeed(enemy->Type().speed);
        enemy->EnterState(state);
        platform::Srand(5);
        for (int step = 0; step < 5; ++step) enemy->Step(0.04f);
        const PVector3 forward = enemy->Vehicle()->Forward();

        m_ai->Manager().StopLevel();
        if (box) m_level->activeObjects.remove(box);
        m_level->playerCar->SetPosition({0.0f, 0.0f, 1.0f});
        m_level->playerCar->UpdateTransform();
        return Vec3Normalize({forward.x, forward.y, 0.0f});
    }
};

TEST_F(EnemyMovementTest, AnEvadingEnemyRunsFromTheCar)
{
    const PVector3 heading = HeadingAfterSteps(AI_Entity::kEvasion, Obstacle::None);
    EXPECT_LT(heading.y, -0.99f) << "straight away from the car: " << heading.x << "," << heading.y;
}

TEST_F(EnemyMovementTest, AWanderingEnemyTakesARandomWalk)
{
    const PVector3 first = HeadingAfterSteps(AI_Entity::kWander, Obstacle::None);
    EXPECT_EQ(first, HeadingAfterSteps(AI_Entity::kWander, Obstacle::None)) << "the same draws, the same walk";
    platform::Srand(6);
    AI_Entity* enemy = Spawn("walker", 0.0f, -6.0f);
    ASSERT_NE(enemy, nullptr);
    enemy->Vehicle()->SetForward({0.0f, -1.0f, 0.0f});
    enemy->Vehicle()->SetSpeed(enemy->Type().speed);
    enemy->EnterState(AI_Entity::kWander);
    for (int step = 0; step < 5; ++step) enemy->Step(0.04f);
    const PVector3 other = Vec3Normalize({enemy->Vehicle()->Forward().x, enemy->Vehicle()->Forward().y, 0.0f});
    EXPECT_NE(other, first) << "other draws, another walk";
    EXPECT_LE(Vec3Length(enemy->Vehicle()->Velocity()), enemy->Type().speed + 1e-4f);
}

// The obstacle stands east of the enemy's way: the avoidance turns it west, compared with the
// same run without the obstacle. Neither the ground nor the car counts as one.
TEST_F(EnemyMovementTest, BothMovementsSteerAwayFromAnObstacleButNotFromTheGroundOrTheCar)
{
    for (const int32_t state : {int32_t{AI_Entity::kEvasion}, int32_t{AI_Entity::kWander}}) {
        SCOPED_TRACE(state == AI_Entity::kEvasion ? "evading" : "wandering");
        const PVector3 free = HeadingAfterSteps(state, Obstacle::None);
        EXPECT_LT(HeadingAfterSteps(state, Obstacle::Box).x, free.x - 0.01f) << "turned west";
        EXPECT_EQ(HeadingAfterSteps(state, Obstacle::Land), free);
        EXPECT_EQ(HeadingAfterSteps(state, Obstacle::Car), free);
    }
}

}  // namespace
