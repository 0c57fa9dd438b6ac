// Missions: the file's check-point tables and spawn sources, and the enemy choice and placement
// the scripts make from them.
#include <algorithm>
#include <cmath>
#include <string>

#include "AI/EnemyPlacement.h"
#include "enemy_fixture.h"
#include "game/PMission.h"
#include "platform/Random.h"

namespace {

SPMission Mission(const std::string& text, const std::unordered_map<std::string, PVector3>& points = {})
{
    SPMission mission;
    ParseMission(reinterpret_cast<const uint8_t*>(text.data()), text.size(), "Data\\Levels\\m", points, mission);
    return mission;
}

void ExpectBand(const SPChanceBand& band, const std::string& name, int32_t low, int32_t high)
{
    EXPECT_EQ(band.name, name);
    EXPECT_EQ(band.low, low);
    EXPECT_EQ(band.high, high);
}

TEST(MissionFileTest, CheckPointLinesGiveTheirNumbersAndBackToBackBands)
{
    const SPMission mission = Mission("10 1 2 3 walker,60;scav,40 25 time,100\n5 0 0 0 scav,30 0\ninf 1 2 3 a,1 0\n");
    ASSERT_EQ(mission.checkPoints.size(), 2u) << "a line with a number that is not finite is left out";
    const SPCheckPointInfo& first = mission.checkPoints[0];
    EXPECT_EQ(first.param1, 10.0f);
    EXPECT_EQ(first.param2, 1);
    EXPECT_EQ(first.param3, 2);
    EXPECT_EQ(first.param4, 3);
    ASSERT_EQ(first.enemyBands.size(), 2u);
    ExpectBand(first.enemyBands[0], "walker", 0, 60);
    ExpectBand(first.enemyBands[1], "scav", 60, 100);
    EXPECT_EQ(first.bonusChance, 25);
    ASSERT_EQ(first.bonusBands.size(), 1u);
    ExpectBand(first.bonusBands[0], "time", 0, 100);
    EXPECT_TRUE(mission.checkPoints[1].bonusBands.empty());
    EXPECT_EQ(FindBand(mission.checkPoints[1].enemyBands, 30), nullptr) << "counts short of 100 leave draws without a band";
    EXPECT_TRUE(mission.enemySources.empty()) << "no sources line";
    EXPECT_EQ(mission.enemyKinds, (std::vector<std::string>{"walker", "scav", "scav"})) << "bonus kinds are no enemies";
}

TEST(MissionFileTest, SourcesGoUnderTheirCheckPointInFileOrder)
{
    const SPMission mission = Mission(
        "sources\n"
        "a 2 0 0.5 walker,100\n"
        "b 2 00 1 scav,100\n"
        "a 3 word 2 scav,50\n"
        "nowhere 3 1 0 scav,100\n",
        {{"a", {1, 2, 3}}, {"b", {4, 5, 6}}});
    EXPECT_TRUE(mission.checkPoints.empty());
    ASSERT_EQ(mission.enemySources.at("2").size(), 2u);
    const SPEnemySource& first = mission.enemySources.at("2")[0];
    EXPECT_EQ(first.position, (PVector3{1, 2, 3}));
    EXPECT_FALSE(first.flag) << "\"0\" is the only false flag";
    EXPECT_EQ(first.param, 0.5f);
    ExpectBand(first.enemyBands[0], "walker", 0, 100);
    EXPECT_TRUE(mission.enemySources.at("2")[1].flag) << "\"00\" is true";
    ASSERT_EQ(mission.enemySources.at("3").size(), 2u);
    EXPECT_TRUE(mission.enemySources.at("3")[0].flag);
    EXPECT_EQ(mission.enemySources.at("3")[1].position, (PVector3{0, 0, 0})) << "a point the level lacks";
}

TEST(MissionFileTest, HugeCountsStayWithinTheIntRange)
{
    const SPMission mission = Mission("1 0 0 0 a,2147483647;b,2147483647;c,-5 0\n");
    ASSERT_EQ(mission.checkPoints.size(), 1u);
    const ChanceBands& bands = mission.checkPoints[0].enemyBands;
    ExpectBand(bands[0], "a", 0, 2147483647);
    ExpectBand(bands[1], "b", 2147483647, 2147483647);
    ExpectBand(bands[2], "c", 2147483647, 2147483642);
}

class MissionTest : public EnemyTest {
protected:
    void SetUp() override
    {
        EnemyTest::SetUp();
        m_level->spawnSources = {{"near", {0.0f, 65.0f, 0.0f}}, {"edge60", {60.0f, 0.0f, 1.0f}}, {"edge70", {0.0f, -70.0f, 1.0f}}};
        m_level->respawnPoint = {7.0f, 8.0f, 0.0f};
        m_folder.Write("Data/Levels/mission1",
                       "10 1 2 3 walker,50;scav,50 25 time,100\n"
                       "20 4 5 6 walker,100 0\n"
                       "30 0 0 0 \"\" 0\n"
                       "sources\n"
                       "near 1 1 0 scav,100\n"
                       "edge60 2 1 0 scav,100\n"
                       "edge70 2 1 0 scav,100\n"
                       "near 2 0 0 walker,100\n");
        m_gameData->LoadMissionInfo("mission1");
    }
};

TEST_F(MissionTest, TheTablesLoadForTheLevelAndAMissingFileEmptiesOnlyTheCheckPoints)
{
    ASSERT_EQ(m_gameData->checkPoints.size(), 3u);
    EXPECT_EQ(m_gameData->enemySources.size(), 2u);
    m_gameData->LoadMissionInfo("no_such_mission");
    EXPECT_TRUE(m_gameData->checkPoints.empty());
    EXPECT_EQ(m_gameData->enemySources.size(), 2u);
    m_gameData->LoadMissionInfo("mission1");
    m_level.reset();
    m_gameData->LoadMissionInfo("no_such_mission");
    EXPECT_EQ(m_gameData->checkPoints.size(), 3u) << "without a level nothing is read";
}

TEST_F(MissionTest, SourcesCountOnlyStrictlyBetween60And70UnitsWithTheirFlag)
{
    // The car stands at (0, 0, 1): "near" is 65 away, "edge60" exactly 60, "edge70" 70.
    EXPECT_TRUE(IsEnemySourceNear(true, "1"));
    EXPECT_FALSE(IsEnemySourceNear(false, "1")) << "the wrong flag";
    EXPECT_FALSE(IsEnemySourceNear(true, "2")) << "60 and 70 are not between";
    EXPECT_TRUE(IsEnemySourceNear(false, "2"));
    EXPECT_FALSE(IsEnemySourceNear(true, "9")) << "a check point without sources";

    const SPEnemyChoice fromSource = ChooseEnemyType(1, "1", true);
    EXPECT_EQ(fromSource.kind, "scav");
    EXPECT_TRUE(fromSource.found);
    EXPECT_EQ(fromSource.x, 0.0f);
    EXPECT_EQ(fromSource.y, 65.0f);
}

// Without sources asked for, the kind of a source 65 units away (whose flag is clear) still comes
// at the respawn point, not at the source.
TEST_F(MissionTest, AKindFromASourceWithoutSourcesAskedForComesAtTheRespawnPoint)
{
    ASSERT_TRUE(IsEnemySourceNear(false, "2"));
    const SPEnemyChoice choice = ChooseEnemyType(2, "2", false);
    EXPECT_EQ(choice.kind, "walker");
    EXPECT_TRUE(choice.found);
    EXPECT_EQ(choice.x, 7.0f);
    EXPECT_EQ(choice.y, 8.0f);
}

TEST_F(MissionTest, TheTableChoiceSendsNoSecondWalkerAndWithoutSourcesComesAtTheRespawnPoint)
{
    ASSERT_NE(Spawn("walker", 30.0f, 30.0f), nullptr);
    for (int call = 0; call < 50; ++call) {
        const SPEnemyChoice choice = ChooseEnemyType(1, "1", false);
        EXPECT_EQ(choice.kind, "scav");
        EXPECT_TRUE(choice.found);
        EXPECT_EQ(choice.x, 7.0f);
        EXPECT_EQ(choice.y, 8.0f);
    }
    const SPEnemyChoice table = ChooseEnemyType(1, "5", true);
    EXPECT_EQ(table.kind, "scav");
    EXPECT_FALSE(table.found) << "a kind from the table with sources asked for is not found";
}

TEST_F(MissionTest, TablesThatCannotGiveAKindAndNumbersOutsideTheTableGiveNone)
{
    ASSERT_NE(Spawn("walker", 30.0f, 30.0f), nullptr);
    struct Case {
        const char* what;
        int32_t number;
    };
    for (const Case c : {Case{"only walkers while one lives", 2}, Case{"an empty table", 3}, Case{"number 0", 0},
                         Case{"past the table", 4}, Case{"negative", -1}}) {
        SCOPED_TRACE(c.what);
        const SPEnemyChoice choice = ChooseEnemyType(c.number, std::to_string(c.number) + "x", false);
        EXPECT_EQ(choice.kind, "");
        EXPECT_FALSE(choice.found);
    }
}

// The script asks for a place 30 units from the car in a random direction. On a level of 100 ×
// 100 units (enemies come within 30 of its middle), with the car near each edge and in each corner
// where the level's border stops it, every direction gives a free place inside, the nearest
// point of the playable square to the square asked for; so does the square around the car.
TEST_F(MissionTest, EnemiesArePlacedWithTheCarAtEveryEdgeAndCorner)
{
    m_level->width = 100.0f;
    m_level->depth = 100.0f;
    m_ai->CreateNavGrid(50, 50, 2.0f);
    constexpr float kPlayable = 30.0f;
    constexpr float kNearEdge = 46.0f;
    const struct {
        const char* where;
        float x, y;
    } cars[] = {{"east", kNearEdge, 5.0f},          {"west", -kNearEdge, -5.0f},
                {"north", 5.0f, kNearEdge},         {"south", -5.0f, -kNearEdge},
                {"north-east", kNearEdge, kNearEdge}, {"north-west", -kNearEdge, kNearEdge},
                {"south-east", kNearEdge, -kNearEdge}, {"south-west", -kNearEdge, -kNearEdge}};
    for (const auto& car : cars) {
        SCOPED_TRACE(car.where);
        m_level->playerCar->SetPosition({car.x, car.y, 1.0f});
        for (int step = 0; step < 16; ++step) {
            const float angle = static_cast<float>(step) * 3.14159265f / 8.0f;
            const float cx = car.x + 30.0f * std::cos(angle), cy = car.y + 30.0f * std::sin(angle);
            const SPEnemyChoice place = FindPositionForEnemy("walker", true, cx, cy);
            ASSERT_TRUE(place.found) << "towards " << step * 22.5f << " degrees";
            EXPECT_LE(std::max(std::fabs(place.x), std::fabs(place.y)), kPlayable);
            EXPECT_NEAR(place.x, std::clamp(cx, -kPlayable, kPlayable), 2.0f);
            EXPECT_NEAR(place.y, std::clamp(cy, -kPlayable, kPlayable), 2.0f);
        }
        const SPEnemyChoice aroundCar = FindPositionForEnemy("walker", false, 0.0f, 0.0f);
        EXPECT_TRUE(aroundCar.found);
        EXPECT_LE(std::max(std::fabs(aroundCar.x), std::fabs(aroundCar.y)), kPlayable);
    }
    m_level->width = 39.0f;
    EXPECT_FALSE(FindPositionForEnemy("walker", true, 0.0f, 0.0f).found) << "no room inside the margin";
}

TEST_F(MissionTest, PlacesLieOnTheSquareAroundTheCentreInsideTheLevelOnFreeCells)
{
    for (int call = 0; call < 40; ++call) {
        const SPEnemyChoice place = FindPositionForEnemy("walker", true, 10.0f, -20.0f);
        ASSERT_TRUE(place.found);
        const float dx = std::fabs(place.x - 10.0f), dy = std::fabs(place.y + 20.0f);
        EXPECT_LE(std::max(dx, dy), 2.0f);
        EXPECT_TRUE(dx == 2.0f || dy == 2.0f) << place.x << "," << place.y;
    }
    // Around the car the square's side is the lose range × 1.5: 150 for the walker.
    const SPEnemyChoice wide = FindPositionForEnemy("walker", false, 0.0f, 0.0f);
    EXPECT_TRUE(wide.found);
    EXPECT_TRUE(std::fabs(wide.x) == 75.0f || std::fabs(wide.y) == 75.0f);

    for (int32_t row = 0; row < 100; ++row) {
        for (int32_t column = 0; column < 100; ++column) m_ai->SetCell(row, column, 1);
    }
    EXPECT_FALSE(FindPositionForEnemy("walker", true, 10.0f, -20.0f).found) << "every cell blocked";
    m_ai->CreateNavGrid(100, 100, 2.0f);
    EXPECT_FALSE(FindPositionForEnemy("nobody", true, 0.0f, 0.0f).found);
    OwnKind(*m_ai->FindPrototype("walker")).loseRange = 0.5f;
    EXPECT_TRUE(FindPositionForEnemy("walker", false, 0.0f, 0.0f).found) << "a tiny range still places";
}

}  // namespace
