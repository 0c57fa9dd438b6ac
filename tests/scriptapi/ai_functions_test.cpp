// The enemy and mission functions of the game table without a level: each gives its empty
// results and changes nothing; an unknown enemy record is added empty.
#include <gtest/gtest.h>

#include "game/PEnemyDatabase.h"
#include "game/PGameData.h"
#include "scriptapi/game_functions_fixture.h"

namespace {

class AIFunctionsTest : public RegisteredGameTablesTest {};

TEST_F(AIFunctionsTest, WithoutALevelEveryFunctionGivesItsEmptyResults)
{
    CPGameData data;
    data.checkPoints.resize(2);
    TPtr<CPLuaScript> script = LoadScript("ai", "");
    EXPECT_EQ(Run(*script, R"(
        LoadMissionInfo("mission1")
        count = GetCheckPointsCount()
        info = select('#', GetCheckPointInfo(0))
        kind, found, x, y = GetEnemyType(1, false)
        placed, px, py = GetPositionForEnemy("walker", 0, 1, 5, 5)
        near = IsEnemySourceNear(true, 1)
        AddEnemy("walker", 1, 2)
        live = GetAICount()
        DumpAIInfo()
    )"),
              "");
    EXPECT_EQ(GlobalNumber(*script, "count"), 0.0);
    EXPECT_EQ(GlobalNumber(*script, "info"), 0.0);
    EXPECT_EQ(GlobalText(*script, "kind"), "");
    EXPECT_EQ(GlobalText(*script, "found"), "false");
    EXPECT_EQ(GlobalNumber(*script, "x"), 0.0);
    EXPECT_EQ(GlobalText(*script, "placed"), "false");
    EXPECT_EQ(GlobalText(*script, "near"), "false");
    EXPECT_EQ(GlobalNumber(*script, "live"), 0.0);
    EXPECT_EQ(data.checkPoints.size(), 2u) << "the mission tables stay as they were";
}

TEST_F(AIFunctionsTest, EnemyDataOfAnUnknownNameIsAnEmptyRecordThatIsAdded)
{
    CPEnemyDatabase database;
    database.records["scav"] = {3.0f, 7.0f, "machine", "gun", "loud"};
    TPtr<CPLuaScript> script = LoadScript("data", "");
    EXPECT_EQ(Run(*script, "a, b, c, d, e = GetEnemyData('scav') f, g, h, i, j = GetEnemyData('nobody')"), "");
    EXPECT_EQ(GlobalNumber(*script, "a"), 3.0);
    EXPECT_EQ(GlobalText(*script, "b"), "gun");
    EXPECT_EQ(GlobalNumber(*script, "c"), 7.0);
    EXPECT_EQ(GlobalText(*script, "d"), "machine");
    EXPECT_EQ(GlobalText(*script, "e"), "loud");
    EXPECT_EQ(GlobalNumber(*script, "f"), 0.0);
    EXPECT_EQ(GlobalText(*script, "j"), "");
    EXPECT_EQ(database.records.count("nobody"), 1u);
    EXPECT_NE(Run(*script, "GetEnemyData({})"), "") << "the name must be a string or a number";
}

}  // namespace
