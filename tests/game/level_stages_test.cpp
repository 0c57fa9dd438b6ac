// Stages, gates, check-point barriers and glass walls: destroyed targets open the way, reached
// check points bring their glass walls, and showing the next check point brings its barriers
// and takes the last one's gates away.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <string>

#include "Render/PGameObject.h"
#include "game/PPlayerCar.h"
#include "level_run_fixture.h"
#include "physics/PPhysicData.h"
#include "physics/PhysicsConversions.h"
#include "physics/engine/PhysicsBody.h"
#include "physics/engine/PhysicsRigidBody.h"
#include "support/WorkingFolder.h"

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

// Three check points and the objects of check point 2: its target, its barriers (a crate and a
// turned pane), its glass wall (a pane) and its gate.
class CheckPointObjectsTest : public LevelStagesTest {
protected:
    void SetUp() override
    {
        LevelStagesTest::SetUp();
        WriteLevel("gates", Level(60.0f, 60.0f,
                                  {Record("player", 0.0f, -40.0f, 0.0f), Record("chk1_box", 30.0f, 0.0f),
                                   Record("chk2_box", -30.0f, 0.0f), Record("chk3_box", 0.0f, 30.0f),
                                   Record("sfw2_2_box", 10.0f, 10.0f), Record("csfw_2_crate", -10.0f, 10.0f),
                                   Record("cfw_2_gate", -10.0f, -10.0f), Record("fw2_2_box", 10.0f, -10.0f),
                                   Turned(Record("csfw_2_gate", -20.0f, 10.0f, 1.2f), 0.5f)}));
        ASSERT_TRUE(m_level->Load("gates"));
        ASSERT_TRUE(m_level->Start());
        barrier = m_level->checkPointBarrierObjects[2].front();
        glass = m_level->checkPointGlassObjects[1].front();
        gate = m_level->checkPointGateObjects[1].front();
        target = m_level->checkPointTargetObjects[2].front();
        staticBarrier = m_level->checkPointBarrierObjects[2].back();
    }
    static SPLevelRecord Turned(SPLevelRecord record, float angle)
    {
        record.rotation = {0.0f, 0.0f, std::sin(angle / 2.0f), std::cos(angle / 2.0f)};
        return record;
    }
    // Check point 1 shown and reached, check point 2 shown and reached: its glass walls stand.
    void ReachTheSecondCheckPoint()
    {
        m_level->ShowNextCheckPoint();
        Reach(*m_level->checkPoints.front().object);
        m_level->ShowNextCheckPoint();
        Reach(*m_level->currentCheckPoint);
    }
    TPtr<CPGameObject> barrier, glass, gate, target, staticBarrier;
};

// The object's body stands where the object is drawn, turned as it is, of the object's mass.
void ExpectBodyWhereDrawn(const CPGameObject& object)
{
    const PhysicsRigidBody* body = object.GetPhysicData()->rigidBody;
    ASSERT_TRUE(body) << object.GetName();
    const PVector3 at = FromPhysics(body->GetPos());
    EXPECT_NEAR(Vec3Length(at - object.GetPosition()), 0.0f, 1e-4f) << object.GetName();
    const PQuaternion drawn = object.GetRotation();
    const PQuaternion turn = FromPhysics(body->GetRotation());
    EXPECT_NEAR(std::fabs(turn.x * drawn.x + turn.y * drawn.y + turn.z * drawn.z + turn.w * drawn.w), 1.0f, 1e-5f)
        << object.GetName();
    EXPECT_EQ(body->GetMass(), object.GetPhysicData()->mass) << object.GetName();
}

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

// A glass wall and the barriers (a static one turned, a crate) come into the world with their
// bodies where they are drawn, turned as drawn and of their own mass; the static ones stay there
// while the world runs.
TEST_F(CheckPointObjectsTest, BroughtInBodiesStandWhereTheirObjectsAreDrawn)
{
    ASSERT_GT(barrier->GetPhysicData()->mass, 0.0f) << "the crate moves";
    ASSERT_EQ(staticBarrier->GetPhysicData()->mass, 0.0f);
    const auto run = [&] {
        for (int frame = 0; frame < 20; ++frame) {
            Frame();
            m_physics->Update();
        }
    };
    ReachTheSecondCheckPoint();
    ASSERT_EQ(m_level->checkPointIndex, 2);
    ExpectBodyWhereDrawn(*glass);
    run();
    ExpectBodyWhereDrawn(*glass);

    m_level->ShowNextCheckPoint();
    ExpectBodyWhereDrawn(*barrier);
    ExpectBodyWhereDrawn(*staticBarrier);
    run();
    ExpectBodyWhereDrawn(*staticBarrier);
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

// The sample level with the car started on check point 1, facing along (dx, dy), at full throttle:
// a wall of the check point in its way stops it, and once the wall is gone the car drives on.
class SampleWallsTest : public LevelStagesTest {
protected:
    void Start(float dx, float dy)
    {
        const std::string path = "data/levels/level1.lvl";
        const std::string bytes = testsupport::ReadBytes(m_folder.Path() / path);
        SPLevelFile file;
        std::string error;
        ASSERT_TRUE(ReadLevelFile(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size(), file, error)) << error;
        const float angle = std::atan2(dy, dx) + 3.14159265f / 2.0f;  // the car's forward is its -y
        for (SPLevelRecord& record : file.records) {
            if (record.name.rfind("chk1_", 0) == 0) m_start = {record.position.x, record.position.y, 0.0f};
        }
        for (SPLevelRecord& record : file.records) {
            if (record.name != "player") continue;
            record.position = m_start;
            record.rotation = {0.0f, 0.0f, std::sin(angle / 2.0f), std::cos(angle / 2.0f)};
        }
        WriteLevel("level1", file);
        m_direction = {dx, dy, 0.0f};
        ASSERT_TRUE(m_level->Load("level1"));
        ASSERT_TRUE(m_level->Start());
        m_level->ShowNextCheckPoint();
        Frame();
        ASSERT_EQ(m_level->checkPointIndex, 1) << "reached where it starts";
    }
    // The farthest the car got along its direction in five seconds at full throttle.
    float Drive()
    {
        m_level->GetPlayerCar()->SetControls(1.0f, 0.0f);
        float farthest = -1e9f;
        for (int frame = 0; frame < 100; ++frame) {
            Frame();
            m_physics->Update();
            farthest = std::max(farthest, Vec3Dot(m_level->playerCar->GetPosition() - m_start, m_direction));
        }
        return farthest;
    }
    // Along the car's direction, how far the object's near face lies from the start.
    float Distance(const CPGameObject& wall) const
    {
        constexpr float kHalfThickness = 0.25f;
        return Vec3Dot(wall.GetPosition() - m_start, m_direction) - kHalfThickness;
    }

    PVector3 m_start{}, m_direction{};
};

// The car's front lies this far ahead of its centre at most.
constexpr float kCarReach = 3.5f;

TEST_F(SampleWallsTest, TheGlassWallBehindCheckPointOneStopsTheCarUntilTheNextCheckPointIsShown)
{
    ASSERT_NO_FATAL_FAILURE(Start(0.0f, -1.0f));
    ASSERT_EQ(m_level->checkPointGlassObjects[0].size(), 1u);
    const TPtr<CPGameObject> wall = m_level->checkPointGlassObjects[0].front();
    ASSERT_TRUE(InWorld(*wall));
    const float stop = Drive();
    EXPECT_LT(stop, Distance(*wall)) << "stopped at the wall";
    EXPECT_GT(stop, Distance(*wall) - kCarReach) << "not before it";

    m_level->ShowNextCheckPoint();
    EXPECT_FALSE(InWorld(*wall));
    EXPECT_GT(Drive(), Distance(*wall) + 2.0f) << "through where it stood";
}

TEST_F(SampleWallsTest, TheBarrierWestOfCheckPointOneStopsTheCarUntilItsTowerFalls)
{
    ASSERT_NO_FATAL_FAILURE(Start(-1.0f, 0.0f));
    ASSERT_EQ(m_level->checkPointBarrierObjects[1].size(), 1u);
    const TPtr<CPGameObject> barrier = m_level->checkPointBarrierObjects[1].front();
    EXPECT_FALSE(InWorld(*barrier)) << "until the next check point is shown";
    EXPECT_FALSE(barrier->IsVisible());
    m_level->ShowNextCheckPoint();
    ASSERT_TRUE(InWorld(*barrier));
    EXPECT_TRUE(barrier->IsVisible());
    const float stop = Drive();
    EXPECT_LT(stop, Distance(*barrier)) << "stopped at the barrier";
    EXPECT_GT(stop, Distance(*barrier) - kCarReach) << "not before it";

    ASSERT_EQ(m_level->checkPointTargetObjects[1].size(), 1u);
    Destroy(*m_level->checkPointTargetObjects[1].front());
    EXPECT_FALSE(InWorld(*barrier));
    EXPECT_GT(Drive(), Distance(*barrier) + 2.0f) << "through where it stood";
}

}  // namespace
