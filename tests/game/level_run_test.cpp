// The running level: its start and stop in the kernel, the per-frame update with the check
// points, the camera shake and the level time, and the streaming of the dynamic objects.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <iterator>
#include <limits>
#include <string>

#include "Render/PGameObject.h"
#include "game/PCamera.h"
#include "game/PLevelBranch.h"
#include "game/PPlayerCar.h"
#include "level_run_fixture.h"
#include "physics/PPhysicData.h"

namespace {

// The command a reached check point sends: its number, where it stands and its index.
std::string Reached(int32_t number, const PVector3& at, int index)
{
    char text[96];
    std::snprintf(text, sizeof(text), "check_point(%d,%f,%f,%d)", number, static_cast<double>(at.x), static_cast<double>(at.y), index);
    return text;
}

// The kernel's active tasks as (class name, priority, killed).
struct TaskEntry {
    std::string name;
    int32_t priority;
    bool killed;
    bool operator==(const TaskEntry&) const = default;
};

std::vector<TaskEntry> Tasks(const CPKernel& kernel)
{
    std::vector<TaskEntry> tasks;
    for (const TPtr<IPTask>& task : kernel.GetActiveTasks()) {
        tasks.push_back({task->GetClassName(), task->GetPriority(), task->IsKilled()});
    }
    return tasks;
}

void PrintTo(const TaskEntry& t, std::ostream* os) { *os << t.name << "@" << t.priority << (t.killed ? " killed" : ""); }

TEST_F(LevelRunTest, StartPutsTheLevelIntoTheKernelOnceAndStopTakesItOut)
{
    ASSERT_TRUE(m_level->Load("level1"));
    g_frameDelta = 0.3f;
    ASSERT_TRUE(m_level->Start());
    EXPECT_EQ(g_frameDelta, 0.0f);
    const std::vector<TaskEntry> running = {{"CPObjUpdater", 30, false},
                                            {"AI_Task", 100, false},
                                            {"CPPhysics", 400, false},
                                            {"CPObjUpdater", 500, false}};
    EXPECT_EQ(Tasks(m_kernel), running);
    EXPECT_TRUE(m_level->playerCar->IsActive());
    EXPECT_TRUE(m_level->levelObject->IsActive());
    EXPECT_EQ(m_level->levelTime, 600.0f);
    ASSERT_EQ(m_level->currentCheckPoint, m_level->checkPoints.front().object);
    EXPECT_TRUE(m_level->currentCheckPoint->IsVisible());
    EXPECT_EQ(Commands("gamemenu"), (std::vector<std::string>{"set_money(0.000000)", "init_game_interface()"}));

    EXPECT_FALSE(m_level->Start()) << "a running level does not start again";
    EXPECT_EQ(Tasks(m_kernel).size(), running.size());

    m_level->Stop();
    EXPECT_EQ(m_level->GetState(), LevelState::Stopped);
    for (const TaskEntry& task : Tasks(m_kernel)) EXPECT_TRUE(task.killed) << task.name;
    EXPECT_FALSE(m_level->updateTask);
    EXPECT_FALSE(m_level->lightTask);
    EXPECT_FALSE(m_level->playerCar->IsActive());
    EXPECT_TRUE(m_level->activeObjects.empty());
    EXPECT_TRUE(m_level->parkedCells.empty());
    EXPECT_EQ(m_physics->GetSimulator(), nullptr);
    EXPECT_FALSE(m_level->Start()) << "a stopped level awaits its deletion";
    Frame();  // an update that was already queued this frame finds nothing to stream
}

TEST_F(LevelRunTest, EveryUpdateTakesTheFrameTimeOffTheLevelTimeBelowZeroToo)
{
    ASSERT_TRUE(m_level->Load("level1"));
    ASSERT_TRUE(m_level->Start());
    m_level->levelTime = 0.05f;
    Frame(0.1f);
    EXPECT_FLOAT_EQ(m_level->levelTime, -0.05f);
}

TEST_F(LevelRunTest, ACheckPointIsReachedWithinFourUnitsByXAndYAndReportedOnceWithItsIndex)
{
    ASSERT_TRUE(m_level->Load("level1"));
    ASSERT_TRUE(m_level->Start());
    DropCommands();
    const PVector3 first = m_level->checkPoints.front().object->GetPosition();
    PutCar(first + PVector3{4.0f, 0.0f, 0.0f});
    Frame();
    EXPECT_TRUE(Commands("lvl").empty()) << "exactly 4 units away is not reached";
    EXPECT_EQ(m_level->checkPointIndex, 0);

    PutCar(first + PVector3{0.0f, 3.99f, 50.0f});
    Frame();
    EXPECT_EQ(Commands("lvl"), std::vector<std::string>{Reached(1, first, 0)});
    EXPECT_EQ(Commands("gamemenu"), std::vector<std::string>{Reached(1, first, 0)});
    EXPECT_EQ(Commands("main"), std::vector<std::string>{"say_point()"});
    EXPECT_EQ(m_level->checkPointIndex, 1);
    EXPECT_FALSE(m_level->currentCheckPoint);
    EXPECT_FALSE(m_level->checkPoints.front().object->IsVisible());
    EXPECT_EQ(m_level->respawnPoint.x, first.x);
    Frame();
    EXPECT_TRUE(Commands("lvl").empty()) << "once";

    // The others in turn, each shown when the one before was reached.
    int index = 1;
    for (auto next = std::next(m_level->checkPoints.begin()); next != m_level->checkPoints.end(); ++next, ++index) {
        m_level->ShowNextCheckPoint();
        EXPECT_EQ(Commands("main"), std::vector<std::string>{"say_show()"});
        ASSERT_EQ(m_level->currentCheckPoint, next->object);
        EXPECT_TRUE(m_level->currentCheckPoint->IsVisible());
        PutCar(m_level->currentCheckPoint->GetPosition());
        Frame();
        EXPECT_EQ(Commands("lvl"), std::vector<std::string>{Reached(next->number, next->object->GetPosition(), index)});
        Commands("main");
    }

    m_level->ShowNextCheckPoint();
    EXPECT_FALSE(m_level->currentCheckPoint) << "after the last one there is none";
    Frame();
    EXPECT_TRUE(Commands("lvl").empty());
}

TEST_F(LevelRunTest, TheDfTextIsSentOnceByTheNextUpdate)
{
    ASSERT_TRUE(m_level->Load("level1"));
    ASSERT_TRUE(m_level->Start());
    DropCommands();
    m_level->RequestDfText();
    m_level->RequestDfText();
    Frame();
    Frame();
    EXPECT_EQ(Commands("gamemenu"), std::vector<std::string>{"mission_text()"}) << "no game data: an empty text";
}

TEST_F(LevelRunTest, AShakeEndsAfterFourTenthsOfASecondWithNoStrengthLeft)
{
    ASSERT_TRUE(m_level->Load("level1"));
    ASSERT_TRUE(m_level->Start());
    m_level->shakeTime = 0.0f;
    m_level->shakeStrength = 3.0f;
    Frame(0.1f);
    EXPECT_NE(m_level->camera->offsetX, 0.0f);
    for (int i = 0; i < 3; ++i) Frame(0.1f);
    EXPECT_EQ(m_level->shakeTime, -1.0f);
    EXPECT_EQ(m_level->shakeStrength, 0.0f);
    EXPECT_EQ(m_level->camera->offsetX, 0.0f);
}

// A car that is not where numbers can say, or stands on its nose, leaves the level running: no
// cell out of the grid, the heading kept.
TEST_F(LevelRunTest, ACarOnItsNoseOrAtNoFinitePlaceKeepsTheLastHeading)
{
    ASSERT_TRUE(m_level->Load("level1"));
    ASSERT_TRUE(m_level->Start());
    Frame();
    const float heading = m_level->playerHeading;
    EXPECT_TRUE(std::isfinite(heading));
    m_level->playerCar->SetRotation(QuaternionRotationYawPitchRoll(0.0f, 1.5707964f, 0.0f));
    m_level->playerCar->UpdateTransform();
    Frame();
    EXPECT_FLOAT_EQ(m_level->playerHeading, heading);
    for (float bad : {std::numeric_limits<float>::infinity(), std::numeric_limits<float>::quiet_NaN(), 1e30f}) {
        PutCar({bad, -bad, bad});
        Frame();
        EXPECT_TRUE(std::isfinite(m_level->camera->heading)) << bad;
    }
}

// The view culls a terrain tile by its whole square, not by its centre: a tile half in view is
// drawn.
TEST_F(LevelRunTest, ATerrainTileIsSeenByItsWholeSquare)
{
    ASSERT_TRUE(m_level->Load("level1"));
    const CPGameObject* corner = nullptr;
    for (const TPtr<CPGameObject>& object : m_level->tree->GetObjects()) {
        if (object->GetPosition() == PVector3{-55.0f, -55.0f, 0.0f}) corner = object.Get();
    }
    ASSERT_TRUE(corner);
    const CPBoundingBox bounds = LevelTreeBounds(*corner);
    EXPECT_NEAR(bounds.min.x, -60.0f, 0.01f);
    EXPECT_NEAR(bounds.max.x, -50.0f, 0.01f);
    EXPECT_NEAR(bounds.min.y, -60.0f, 0.01f);
    EXPECT_NEAR(bounds.max.y, -50.0f, 0.01f);
}

// A level of 400 x 400 units with crates; the car starts at the origin.
class StreamingTest : public LevelRunTest {
protected:
    void LoadCrates(std::vector<SPLevelRecord> crates)
    {
        crates.push_back(Record("player", 0.0f, 0.0f, 0.0f));
        WriteLevel("wide", Level(200.0f, 200.0f, crates));
        ASSERT_TRUE(m_level->Load("wide"));
        ASSERT_TRUE(m_level->Start());
    }
    bool IsActive(const TPtr<CPGameObject>& object) const
    {
        const auto& active = m_level->activeObjects;
        return std::find(active.begin(), active.end(), object) != active.end();
    }
    // The parked object nearest to (x, y).
    TPtr<CPGameObject> Parked(float x, float y) const
    {
        for (const CPLevel::ObjectList& cell : m_level->parkedCells) {
            for (const TPtr<CPGameObject>& object : cell) {
                if (Vec3Length(object->GetPosition() - PVector3{x, y, object->GetPosition().z}) < 0.5f) return object;
            }
        }
        return nullptr;
    }
};

TEST_F(StreamingTest, ObjectsComeIntoTheWorldWithin160UnitsAndLeaveItBeyond)
{
    LoadCrates({Record("crate1", 150.0f, 0.0f), Record("crate2", 0.0f, -159.0f)});
    const TPtr<CPGameObject> near = Parked(150.0f, 0.0f);
    const TPtr<CPGameObject> south = Parked(0.0f, -159.0f);
    ASSERT_TRUE(near && south);
    Frame();
    ASSERT_TRUE(IsActive(near));
    EXPECT_TRUE(IsActive(south));
    EXPECT_TRUE(near->IsActive());
    const PhysicsBody* body = near->GetPhysicData()->GetBody();
    ASSERT_NE(body, nullptr);
    Frame();
    EXPECT_EQ(near->GetPhysicData()->GetBody(), body) << "the body stays while the object does";

    PutCar({-11.0f, 0.0f, 2.5f});
    Frame();
    EXPECT_FALSE(IsActive(near)) << "161 units away";
    EXPECT_FALSE(near->IsActive());
    EXPECT_EQ(near->GetPhysicData()->GetBody(), nullptr);
    EXPECT_EQ(Parked(150.0f, 0.0f), near);

    PutCar({0.0f, 0.0f, 2.5f});
    Frame();
    EXPECT_TRUE(IsActive(near)) << "back within range";
    EXPECT_NE(near->GetPhysicData()->GetBody(), nullptr);
}

// An object in a border cell of the car's window but more than 160 units away stays parked: it
// is not brought in and parked again in turn, which would make its body anew every other frame.
TEST_F(StreamingTest, AnObjectOfTheWindowsBorderBeyondRangeStaysParked)
{
    LoadCrates({Record("crate1", 165.0f, 0.0f), Record("crate2", -5.0f, 168.0f)});
    const TPtr<CPGameObject> east = Parked(165.0f, 0.0f);
    const TPtr<CPGameObject> north = Parked(-5.0f, 168.0f);
    ASSERT_TRUE(east && north);
    const SPCellWindow window = m_level->CellWindowAround(0.0f, 0.0f);
    ASSERT_EQ(window.lastColumn, m_level->CellIndexAt(165.0f, 0.0f) / m_level->cellsY) << "in the window";
    for (int frame = 0; frame < 4; ++frame) {
        Frame();
        EXPECT_FALSE(IsActive(east)) << frame;
        EXPECT_FALSE(IsActive(north)) << frame;
        EXPECT_EQ(east->GetPhysicData()->GetBody(), nullptr) << frame;
        EXPECT_EQ(m_physics->GetPendingRemovalCount(), 0u) << "no body was made and parked";
    }
}

TEST_F(StreamingTest, AnObjectTakenOutOfTheWorldIsNotStreamedBackIn)
{
    LoadCrates({Record("crate1", 20.0f, 0.0f)});
    const TPtr<CPGameObject> crate = Parked(20.0f, 0.0f);
    ASSERT_TRUE(crate);
    CPLevel::RemoveFromWorld(*crate);
    Frame();
    EXPECT_FALSE(IsActive(crate));
    EXPECT_FALSE(crate->IsActive());
}

}  // namespace
