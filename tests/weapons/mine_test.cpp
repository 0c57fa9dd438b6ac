// Mines: what sets them off (only objects linked to an AI entity, within the trigger radius of
// their mine layer), timer mode, and the definitions refused.
#include "AI/AI_Entity.h"
#include "physics/PPhysicData.h"
#include "physics/PhysicsConversions.h"
#include "physics/engine/PhysicsRigidBody.h"
#include "weapons/PMine.h"
#include "sample_fixture.h"

namespace {

constexpr PVector3 kOrigin{0.0f, 0.0f, 0.0f};
constexpr PVector3 kStill{0.0f, 0.0f, 0.0f};

// The sample's mine layers (trigger radius 4 and 5); their explosion stays live to be counted.
const char* const kMines =
    "minelayer mine boom;0.5;timer;none\nminelayer2 mine boom;0.5;none;none\nboom simple m;player;1;2;n;none\n";

class MineTest : public SampleWeaponsTest {
protected:
    void SetUp() override {
        SampleWeaponsTest::SetUp();
        Load(kMines);
    }
    // A scene object at the position whose box is a point there.
    TPtr<CPGameObject> Thing(const PVector3& position) {
        TPtr<CPGameObject> object(new CPGameObject("thing"));
        object->SetPosition(position);
        object->GetParts().emplace_back(PVector4{0.0f, 0.0f, 0.0f, 1.0f}, PVector4{0.01f, 0.01f, 0.01f, 0.0f});
        object->UpdateTransform();
        m_world.objects.push_back(object);
        return object;
    }
};

TEST_F(MineTest, OnlyAnObjectLinkedToAnEnemyWithinTheTriggerRadiusSetsItOff) {
    AI_Entity enemy;
    const struct {
        const char* title;
        PVector3 at;
        bool linked;
        bool car;
        bool explodes;
    } cases[] = {
        {"enemy just inside", {3.9f, 0.0f, 0.0f}, true, false, true},
        {"enemy just outside", {4.1f, 0.0f, 0.0f}, true, false, false},
        {"scenery on top", {0.5f, 0.0f, 0.0f}, false, false, false},
        {"the player's car on top", {0.5f, 0.0f, 0.0f}, false, true, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.title);
        TPtr<CPGameObject> thing = Thing(c.at);
        if (c.linked) thing->SetEntity(&enemy);
        if (c.car) {
            m_world.objects.pop_back();
            m_world.car = thing.Get();
        }
        Spawn("minelayer", kOrigin, kStill);
        Frame(0.01f);
        EXPECT_EQ(LiveCount("boom"), c.explodes ? 1u : 0u);
        EXPECT_EQ(LiveCount("minelayer"), c.explodes ? 0u : 1u);
        if (c.explodes) { EXPECT_EQ(m_weapons->GetLiveObjects().back()->GetLaunchDirection().z, 5.0f); }
        thing->SetEntity(nullptr);
        m_world.objects.clear();
        m_world.car = nullptr;
        m_weapons->Clear();
    }
}

TEST_F(MineTest, AtItsLifetimeATimerMineExplodesAndAnotherVanishes) {
    Spawn("minelayer", kOrigin, kStill);
    Spawn("minelayer2", {20.0f, 0.0f, 0.0f}, kStill);
    for (int i = 0; i < 8; ++i) Frame(0.0625f);  // 0.5 s
    EXPECT_EQ(LiveCount("minelayer") + LiveCount("minelayer2"), 2u);
    EXPECT_EQ(LiveCount("boom"), 0u);
    Frame(0.0625f);
    EXPECT_EQ(LiveCount("minelayer") + LiveCount("minelayer2"), 0u);
    ASSERT_EQ(LiveCount("boom"), 1u);
    EXPECT_EQ(m_weapons->GetLiveObjects().back()->GetLaunchDirection(), (PVector3{0.0f, 0.0f, 1.0f}));
    EXPECT_NEAR(m_weapons->GetLiveObjects().back()->GetLaunchPosition().x, 0.0f, 1.0f);
}

TEST_F(MineTest, AMineIsThrownAlongItsDirectionAndLeavesTheWorldWhenDone) {
    Spawn("minelayer", {0.0f, 0.0f, 2.0f}, {1.0f, 0.0f, 0.0f});
    const auto* mine = dynamic_cast<const CPMine*>(m_weapons->GetLiveObjects().front().Get());
    ASSERT_NE(mine, nullptr);
    EXPECT_FLOAT_EQ(mine->GetTriggerRadius(), 4.0f);
    const PhysicsRigidBody* body = mine->GetPhysicData()->rigidBody;
    ASSERT_NE(body, nullptr);
    EXPECT_GT(FromPhysics(body->GetVelocity()).x, 0.0f);
    m_weapons->Clear();
    EXPECT_EQ(mine->GetPhysicData()->rigidBody, nullptr);
}

TEST_F(MineTest, AMineWithoutAMineLayerRecordOrWithoutPhysicsIsRefused) {
    CPMineInfo info;
    info.nameKey = "box";
    m_data->mineInfos["box"] = info;  // box.rdf has no physics data
    Load("nolayer mine boom;5;timer;none\nbox mine boom;5;timer;none\n");
    EXPECT_EQ(PoolSize("nolayer"), 0u);
    EXPECT_EQ(PoolSize("box"), 0u);
}

}  // namespace
