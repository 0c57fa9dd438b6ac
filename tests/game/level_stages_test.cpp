// Stages, gates, check-point barriers and glass walls: destroyed targets open the way, reached
// check points bring their glass walls, and showing the next check point brings its barriers
// and takes the last one's gates away.
#include <gtest/gtest.h>

#include "Render/PGameObject.h"
#include "level_run_fixture.h"
#include "physics/PPhysicData.h"
#include "physics/engine/PhysicsBody.h"

namespace {

// In the world: in ray tests and streaming, and active.
bool InWorld(const CPGameObject& object) { return object.HasCollision() && object.IsActive(); }

class LevelStagesTest : public LevelRunTest {
protected:
    void SetUp() override
    {
        LevelRunTest::SetUp();
        m_data.strings["ffd"] = "The way is open";
    }
    // Damages the object as a weapon would until it is destroyed.
    static void Destroy(CPGameObject& target)
    {
        target.SetDamageClass(CPGameObject::kDestructible);
        target.SetHealth(5.0f);
        target.Damage(target.GetPosition(), {1.0f, 0.0f, 0.0f}, 10.0f, false, true, false);
    }
    void Reach(const CPGameObject& checkPoint)
    {
        PutCar(checkPoint.GetPosition());
        Frame();
    }
};

TEST_F(LevelStagesTest, DestroyingTheStageTargetTakesTheGateOutOfTheWorldOnce)
{
    ASSERT_TRUE(m_level->Load("level1"));
    ASSERT_TRUE(m_level->Start());
    PutCar({0.0f, 0.0f, 2.5f});
    Frame();
    ASSERT_EQ(m_level->stageGateObjects[0].size(), 1u);
    const TPtr<CPGameObject> gate = m_level->stageGateObjects[0].front();
    const TPtr<CPGameObject> target = m_level->stageTargetObjects[0].front();
    ASSERT_TRUE(InWorld(*gate));
    DropCommands();

    Destroy(*target);
    EXPECT_FALSE(InWorld(*gate));
    EXPECT_TRUE(m_level->stageGateObjects[0].empty());
    EXPECT_EQ(m_level->stageIndex, 1);
    EXPECT_EQ(Commands("gamemenu"), std::vector<std::string>{"mission_text(The way is open)"});

    Frame();
    EXPECT_FALSE(InWorld(*gate)) << "the streaming of the tree leaves it out";
    Destroy(*target);
    EXPECT_FALSE(m_level->OpenStage()) << "the next stage has no gates";
    EXPECT_EQ(m_level->stageIndex, 1);
    EXPECT_TRUE(Commands("gamemenu").empty());
}

// Three check points and the objects of check point 2: its target, its barrier (a body), its
// glass wall and its gate.
class CheckPointObjectsTest : public LevelStagesTest {
protected:
    void SetUp() override
    {
        LevelStagesTest::SetUp();
        WriteLevel("gates", Level(60.0f, 60.0f,
                                  {Record("player", 0.0f, -40.0f, 0.0f), Record("chk1_box", 30.0f, 0.0f),
                                   Record("chk2_box", -30.0f, 0.0f), Record("chk3_box", 0.0f, 30.0f),
                                   Record("sfw2_2_box", 10.0f, 10.0f), Record("csfw_2_crate", -10.0f, 10.0f),
                                   Record("cfw_2_box", -10.0f, -10.0f), Record("fw2_2_box", 10.0f, -10.0f)}));
        ASSERT_TRUE(m_level->Load("gates"));
        ASSERT_TRUE(m_level->Start());
        barrier = m_level->checkPointBarrierObjects[2].front();
        glass = m_level->checkPointGlassObjects[1].front();
        gate = m_level->checkPointGateObjects[1].front();
        target = m_level->checkPointTargetObjects[2].front();
    }
    TPtr<CPGameObject> barrier, glass, gate, target;
};

TEST_F(CheckPointObjectsTest, TheSecondCheckPointsObjectsComeAndGoInTheirTurn)
{
    EXPECT_FALSE(InWorld(*barrier)) << "hidden at load";
    EXPECT_FALSE(barrier->IsVisible());
    EXPECT_FALSE(InWorld(*glass));
    m_level->ShowNextCheckPoint();
    EXPECT_EQ(m_level->currentCheckPoint, m_level->checkPoints.front().object)
        << "before the first is reached there are no walls or gates of a check point 0";

    Reach(*m_level->checkPoints.front().object);
    m_level->ShowNextCheckPoint();
    Reach(*m_level->currentCheckPoint);
    ASSERT_EQ(m_level->checkPointIndex, 2);
    EXPECT_TRUE(InWorld(*glass)) << "behind the player";
    EXPECT_FALSE(InWorld(*barrier));
    DropCommands();

    m_level->ShowNextCheckPoint();
    EXPECT_EQ(m_level->currentCheckPoint, m_level->checkPoints.back().object);
    EXPECT_FALSE(InWorld(*glass));
    EXPECT_TRUE(m_level->checkPointGlassObjects[1].empty());
    EXPECT_TRUE(InWorld(*barrier));
    EXPECT_TRUE(barrier->IsVisible());
    ASSERT_TRUE(barrier->GetPhysicData()->GetBody());
    EXPECT_EQ(barrier->GetPhysicData()->GetBody()->GetCollisionClass(), 3);
    EXPECT_FALSE(InWorld(*gate));
    EXPECT_FALSE(gate->IsVisible());
    EXPECT_EQ(Commands("gamemenu"), std::vector<std::string>{"mission_text(The way is open)"});

    Destroy(*target);
    EXPECT_FALSE(InWorld(*barrier));
    EXPECT_EQ(barrier->GetPhysicData()->GetBody(), nullptr);
    EXPECT_EQ(m_level->checkPointIndex, 2);
    EXPECT_EQ(Commands("gamemenu"), std::vector<std::string>{"mission_text(The way is open)"});
}

// Indices past the twenty lists (a script or a long mission can drive them there) touch no list.
TEST_F(CheckPointObjectsTest, IndicesOutsideTheListsTouchNothing)
{
    for (int32_t index : {-1, 20, 21, 1000}) {
        m_level->checkPointIndex = index;
        m_level->stageIndex = index;
        m_level->ShowNextCheckPoint();
        m_level->SetCheckPointGlass(true);
        m_level->ClearCheckPointBarrier();
        EXPECT_FALSE(m_level->OpenStage()) << index;
        m_level->RemoveTarget(target.Get());
        EXPECT_FALSE(m_level->IsStageTarget(target.Get()));
        Frame();
    }
    EXPECT_EQ(m_level->checkPointTargetObjects[2].size(), 1u);
}

}  // namespace
