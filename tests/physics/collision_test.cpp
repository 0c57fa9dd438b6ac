// What the player's car touches hears of it.
#include "game/PLevel.h"
#include "world_fixture.h"

namespace {

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

}  // namespace
