// The level's segment tests and sphere queries equal a scan of the static objects plus the car, the
// active and parked objects and the enemies under the 160-unit rules around the car.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <memory>

#include "AI/AI_Entity.h"
#include "core/PMMObject.h"
#include "game/PLevel.h"
#include "game/PLevelBranch.h"
#include "level_objects.h"

namespace {

using namespace levelobjects;

constexpr float kRange = 160.0f;

// A random 600 x 600 level: static boxes in the tree, a car, active, parked and enemy boxes.
struct RandomLevel {
    explicit RandomLevel(unsigned seed) : random(seed)
    {
        level.width = level.depth = 600.0f;
        level.cellsX = level.cellsY = 60;
        level.parkedCells.resize(3600);
        statics = RandomBoxes(random, 400, 300.0f);
        level.tree = new CPLevelBranch();
        level.tree->SetObjects(statics);
        level.tree->Build(0);
        std::uniform_real_distribution<float> place(-250.0f, 250.0f);
        car = Box("PLAYER", {place(random), place(random), 1.0f}, {1, 2, 1});
        level.playerCar = car;
        for (const TPtr<CPGameObject>& object : RandomBoxes(random, 60, 300.0f, "active")) {
            level.activeObjects.push_back(object);
        }
        for (const TPtr<CPGameObject>& object : RandomBoxes(random, 60, 300.0f, "enemy")) {
            level.enemyObjects.push_back(object);
        }
        for (const TPtr<CPGameObject>& object : RandomBoxes(random, 200, 300.0f, "parked")) {
            level.ParkObject(object);
            parked.push_back(object);
        }
    }
    ~RandomLevel()
    {
        level.tree = nullptr;
        CollectGarbage();
    }

    bool NearCar(const SPRayQuery& q) const
    {
        const float h = q.distance / 2.0f;
        const PVector3 d = car->GetPosition() - (q.origin + q.direction * h);
        const PVector3& v = q.direction;
        return std::fabs(d.x) <= std::fabs(v.x) * h + kRange && std::fabs(d.y) <= std::fabs(v.y) * h + kRange &&
               std::fabs(d.x * v.y - d.y * v.x) <= (std::fabs(v.x) + std::fabs(v.y)) * kRange;
    }

    std::mt19937 random;
    CPLevel level;
    Objects statics;
    Objects parked;
    TPtr<CPGameObject> car;
};

Objects AsVector(const CPLevel::ObjectList& list) { return Objects(list.begin(), list.end()); }

void Append(Objects& to, const Objects& from) { to.insert(to.end(), from.begin(), from.end()); }

int32_t WindowCell(float fromEdge) { return std::clamp(static_cast<int32_t>(fromEdge * 0.1f), 0, 59); }

TEST(LevelQueryTest, SegmentTestsEqualTheScanUnderThePlayerRule)
{
    for (unsigned seed = 1; seed <= 4; ++seed) {
        RandomLevel world(seed);
        for (int i = 0; i < 400; ++i) {
            for (bool enemies : {false, true}) {
                SPRayQuery byLevel = RandomSegment(world.random, 300.0f);
                SPRayQuery byScan = byLevel;
                bool hit = ScanRay(world.statics, byScan);
                if (world.NearCar(byScan)) {
                    if (world.car->RayHit(byScan)) hit = true;
                    if (ScanRay(AsVector(world.level.activeObjects), byScan)) hit = true;
                    if (enemies && ScanRay(AsVector(world.level.enemyObjects), byScan)) hit = true;
                }
                ASSERT_EQ(world.level.CrossRay(byLevel, enemies), hit) << seed << " " << i;
                EXPECT_EQ(byLevel.distance, byScan.distance);
                EXPECT_EQ(byLevel.hitObject, byScan.hitObject);
                const PVector3 end = byLevel.origin + byLevel.direction * byLevel.distance;
                EXPECT_EQ(byLevel.hitPoint, end);
            }
        }
    }
}

bool WithinRangeOf(const PVector3& car, const TPtr<CPGameObject>& object)
{
    const PVector3& at = object->GetPosition();
    return std::fabs(at.x - car.x) <= kRange && std::fabs(at.y - car.y) <= kRange;
}

TEST(LevelQueryTest, SphereQueriesEqualTheScanWithTheParkedObjectsInRange)
{
    for (unsigned seed = 1; seed <= 4; ++seed) {
        RandomLevel world(seed);
        const PVector3& car = world.car->GetPosition();
        Objects windowed;
        for (int32_t column = WindowCell(300.0f + car.x - kRange); column <= WindowCell(300.0f + car.x + kRange);
             ++column) {
            for (int32_t row = WindowCell(300.0f + car.y - kRange); row <= WindowCell(300.0f + car.y + kRange); ++row) {
                for (const TPtr<CPGameObject>& object : world.level.parkedCells[static_cast<size_t>(column * 60 + row)]) {
                    if (WithinRangeOf(car, object)) windowed.push_back(object);
                }
            }
        }
        for (int i = 0; i < 200; ++i) {
            std::uniform_real_distribution<float> place(-300.0f, 300.0f), radius(0.0f, 40.0f);
            const PVector3 centre{place(world.random), place(world.random), 1.0f};
            const float r = radius(world.random);
            const int flags = i % 8;
            const bool skipPlayer = flags & 1, skipEnemies = flags & 2, skipParked = flags & 4;
            Objects expected = ScanSphere(world.statics, centre, r);
            if (!skipPlayer) Append(expected, ScanSphere({world.car}, centre, r));
            if (std::fabs(car.x - centre.x) < r + kRange && std::fabs(car.y - centre.y) < r + kRange) {
                Append(expected, ScanSphere(AsVector(world.level.activeObjects), centre, r));
            }
            if (!skipParked) Append(expected, ScanSphere(windowed, centre, r));
            if (!skipEnemies) Append(expected, ScanSphere(AsVector(world.level.enemyObjects), centre, r));
            Objects found;
            world.level.QueryObjects(centre, r, found, skipPlayer, skipEnemies, skipParked);
            EXPECT_EQ(Sorted(found), Sorted(expected)) << seed << " " << i;
        }
    }
}

// The cells of the car's window reach past kPlayerRange; a parked object there stays parked (the
// streaming leaves it) and no query finds it.
TEST(LevelQueryTest, ParkedObjectsCountWithinRangeOfTheCarOnly)
{
    struct Case {
        PVector3 at;
        bool found;
    };
    const Case cases[] = {
        {{159.0f, 4.0f, 1.0f}, true},    {{164.0f, -156.0f, 1.0f}, true}, {{169.0f, 4.0f, 1.0f}, false},
        {{-1.0f, 165.0f, 1.0f}, false}, {{-158.0f, 4.0f, 1.0f}, false},
    };
    const PVector3 car{4.0f, 4.0f, 1.0f};
    CPLevel level;
    level.width = level.depth = 600.0f;
    level.cellsX = level.cellsY = 60;
    level.parkedCells.resize(3600);
    level.playerCar = Box("PLAYER", car, {1, 2, 1});
    for (const Case& c : cases) {
        const TPtr<CPGameObject> parked = Box("parked", c.at, {1, 1, 1});
        ASSERT_TRUE(level.ParkObject(parked));
        const SPCellWindow window = level.CellWindowAround(car.x, car.y);
        const int32_t cell = level.CellIndexAt(c.at.x, c.at.y);
        ASSERT_TRUE(cell / 60 >= window.firstColumn && cell / 60 <= window.lastColumn && cell % 60 >= window.firstRow &&
                    cell % 60 <= window.lastRow)
            << "in the car's window: " << c.at.x << " " << c.at.y;
        for (const bool skipParked : {false, true}) {
            Objects found;
            level.QueryObjects(c.at, 2.0f, found, true, true, skipParked);
            EXPECT_EQ(found.size(), c.found && !skipParked ? 1u : 0u) << c.at.x << " " << c.at.y << " " << skipParked;
        }
    }
    level.playerCar = nullptr;
    level.parkedCells.clear();
    CollectGarbage();
}

TEST(LevelQueryTest, WithoutTreeOrCarOnlyTheEnemiesCount)
{
    CPLevel level;
    const TPtr<CPGameObject> enemy = Box("enemy", {0, 0, 0}, {1, 1, 1});
    level.enemyObjects.push_back(enemy);
    SPRayQuery query;
    query.origin = {-5.0f, 0.0f, 0.0f};
    query.direction = {1.0f, 0.0f, 0.0f};
    query.distance = 10.0f;
    EXPECT_FALSE(level.CrossRay(query, true)) << "enemies are tested near the car only";
    EXPECT_EQ(query.hitPoint.x, 5.0f);
    Objects found;
    level.QueryObjects({0, 0, 0}, 2.0f, found, false, false, false);
    EXPECT_EQ(found.size(), 1u);
    level.enemyObjects.clear();
    CollectGarbage();
}

TEST(LevelQueryTest, TheWedgeCollectsLivingEnemiesStrictlyBetweenItsLines)
{
    CPLevel level;
    AI_Entity living, dead, onLine;
    dead.dead = true;
    const TPtr<CPGameObject> a = Box("a", {5, 1, 0}, {1, 1, 1});
    const TPtr<CPGameObject> b = Box("b", {5, 2, 0}, {1, 1, 1});
    const TPtr<CPGameObject> c = Box("c", {5, 0, 0}, {1, 1, 1});
    const TPtr<CPGameObject> d = Box("d", {5, 1, 0}, {1, 1, 1});
    a->SetEntity(&living);
    b->SetEntity(&dead);
    c->SetEntity(&onLine);
    for (const TPtr<CPGameObject>& object : {a, b, c, d}) level.enemyObjects.push_back(object);
    Objects found;
    // y > 0 and y < 3.
    level.CollectObjectsInWedge({0, 1, 0}, {0, 1, -3}, found);
    ASSERT_EQ(found.size(), 1u);
    EXPECT_EQ(found[0], a);
    for (const TPtr<CPGameObject>& object : {a, b, c}) object->SetEntity(nullptr);
    level.enemyObjects.clear();
    CollectGarbage();
}

}  // namespace
