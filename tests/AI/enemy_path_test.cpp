// An enemy chasing the car around a wall of blocked cells: it follows its path way-point by
// way-point and reaches the car, its steering always within its limits. The physics body is
// stood in for by moving the model with the velocity the enemy holds it to.
#include <cmath>
#include <cstdlib>

#include "enemy_fixture.h"

namespace {

TEST_F(EnemyTest, AChasingEnemyFollowsItsPathAroundAWallToTheCar)
{
    // A wall across y = 10 from x = -30 to 30; the car below it, the enemy above.
    for (int32_t row = 35; row <= 65; ++row) m_ai->SetCell(row, 55, 1);
    m_level->playerCar->SetPosition({0.0f, -10.0f, 1.0f});
    m_level->playerCar->UpdateTransform();
    m_ai->UpdateTargetVehicle(*m_level->playerCar, {0.0f, 1.0f, 0.0f}, 0.0f);
    AI_Entity* enemy = Spawn("walker", 0.0f, 30.0f);
    ASSERT_NE(enemy, nullptr);
    const CPNavGrid& grid = m_ai->NavGrid();
    const float dt = 0.02f;
    int waypointsPassed = 0;
    bool followedAPath = false;
    bool arrived = false;
    int frame = 0;
    for (; frame < 3000 && !arrived; ++frame) {
        const SPNavPath before = enemy->path;
        const PVector3 at = enemy->Model()->GetPosition();
        Frame(dt);
        const SPNavPath& after = enemy->path;
        followedAPath = followedAPath || after.status == SPNavPath::kFollowing;
        if (after.index == before.index + 1 && before.index >= 1 && after.length == before.length) {
            ++waypointsPassed;
            EXPECT_LT(std::abs(static_cast<int32_t>(static_cast<float>(grid.LocalX(at.x)) - before.waypointX)), 3);
            EXPECT_LT(std::abs(static_cast<int32_t>(static_cast<float>(grid.LocalY(at.y)) - before.waypointY)), 3);
        }
        const SimpleVehicle& vehicle = *enemy->Vehicle();
        ASSERT_LE(Vec3Length(vehicle.LastForce()), vehicle.MaxForce() * 1.0001f) << "frame " << frame;
        ASSERT_LE(Vec3Length(vehicle.Velocity()), vehicle.MaxSpeed() * 1.0001f) << "frame " << frame;
        // The body follows the held velocity.
        const PVector3 velocity = enemy->Model()->GetPhysicData()->heldVelocity;
        enemy->Model()->SetPosition(enemy->Model()->GetPosition() + velocity * dt);
        enemy->Model()->UpdateTransform();
        const PVector3 p = enemy->Model()->GetPosition();
        ASSERT_TRUE(m_ai->IsCellFree(p.x, p.y)) << "walked into the wall at " << p.x << "," << p.y;
        arrived = std::hypot(p.x, p.y + 10.0f) < 3.5f;
    }
    EXPECT_TRUE(arrived) << "still at " << enemy->Model()->GetPosition().x << "," << enemy->Model()->GetPosition().y;
    EXPECT_TRUE(followedAPath);
    EXPECT_GE(waypointsPassed, 5);
    RecordProperty("frames_to_reach", frame);
}

}  // namespace
