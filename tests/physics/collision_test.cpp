// What the player's car touches hears of it.
#include <cmath>

#include "AI/AI_Entity.h"
#include "game/PLevel.h"
#include "world_fixture.h"

namespace {

// One frame of exactly one step.
constexpr float kOneStepFrame = CPPhysics::kStepLength / CPPhysics::kTimeFactor + 1e-6f;

TEST_F(PhysicsWorldTest, ABodyTouchingThePlayersCarLosesItsHoldRequest) {
    CPLevel level;
    level.playerCar = PlayerCarBox({0.0f, 0.0f, 5.0f});
    const TPtr<CPGameObject> crate = TrackedBox({0.5f, 0.0f, 5.0f});
    const TPtr<CPGameObject> distant = TrackedBox({20.0f, 0.0f, 5.0f});
    const TPtr<CPGameObject> pair[2] = {TrackedBox({40.0f, 0.0f, 5.0f}), TrackedBox({40.5f, 0.0f, 5.0f})};
    for (const TPtr<CPGameObject>& object : {crate, distant, pair[0], pair[1]}) {
        object->GetPhysicData()->controllerRequest = true;
    }
    Frame(0.01f);
    EXPECT_FALSE(crate->GetPhysicData()->controllerRequest);
    EXPECT_TRUE(distant->GetPhysicData()->controllerRequest) << "too far to touch";
    EXPECT_TRUE(pair[0]->GetPhysicData()->controllerRequest) << "two crates touching are no business of the car";
    level.playerCar = nullptr;
}

// The car slides along the side of an enemy's model (an animated body without friction, so the
// contact leaves the car's speed as it was): the faster the car, the harder the hit. The model
// is also a destructible target of the current stage, so its health shows the damage.
TEST_F(PhysicsWorldTest, AnEnemyTouchedByThePlayersCarIsDamagedByTheCarsSpeed) {
    struct Case {
        float speed;
        float damage;
    };
    const Case cases[] = {{20.0f, 20.0f / 15.0f}, {10.0f, 6.0f}, {4.0f, 0.0f}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.speed);
        CPLevel level;
        level.playerCar = PlayerCarBox({0.0f, 0.0f, 5.0f});
        level.playerCar->GetPhysicData()->rigidBody->SetVelocity({0.0f, c.speed, 0.0f, 0.0f});
        AI_Entity entity;
        TPtr<CPGameObject> enemy = ShapeObject({0.99f, 0.0f, 5.0f}, -1.0f);
        enemy->GetPhysicData()->SetCollisionClass(1);
        enemy->GetPhysicData()->AddToWorld();
        enemy->SetEntity(&entity);
        enemy->SetDamageClass(CPGameObject::kDestructible);
        enemy->SetHealth(100.0f);
        level.stageTargetObjects[0] = {enemy};

        Frame(kOneStepFrame);
        EXPECT_NEAR(100.0f - enemy->GetHealth(), c.damage, 0.01f);
        level.playerCar = nullptr;
        level.stageTargetObjects[0].clear();
        enemy = nullptr;
        CollectGarbage();
    }
}

// A barrier (collision class 3) touched by the car asks the level for its "df" text when the
// current check point is near enough: within a squared distance of 200 of the car.
TEST_F(PhysicsWorldTest, ABarrierTouchedNearTheCurrentCheckPointAsksForTheDfText) {
    struct Case {
        const char* what;
        bool checkPoint;
        PVector3 offset;  // of the check point from the car
        bool requested;
    };
    const Case cases[] = {
        {"near", true, {3.0f, -2.0f, 0.0f}, true},
        {"at a squared distance of 200", true, {10.0f, 10.0f, 0.0f}, true},
        {"just beyond", true, {10.0f, 10.1f, 0.0f}, false},
        {"no current check point", false, {0.0f, 0.0f, 0.0f}, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        CPLevel level;
        const PVector3 at{5.0f, -7.0f, 5.0f};
        level.playerCar = PlayerCarBox(at);
        if (c.checkPoint) {
            level.currentCheckPoint = new CPGameObject("chk1");
            level.currentCheckPoint->SetPosition(at + c.offset);
        }
        const TPtr<CPGameObject> barrier = TrackedBox(at + PVector3{0.9f, 0.0f, 0.0f});
        barrier->GetPhysicData()->SetBodyCollisionClass(3);

        Frame(kOneStepFrame);
        EXPECT_EQ(level.dfTextRequested, c.requested);
        level.playerCar = nullptr;
        level.currentCheckPoint = nullptr;
    }
}

}  // namespace
