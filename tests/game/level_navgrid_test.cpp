// The navigation grid a level load builds: cells where the probes find something are blocked, open
// ground is free, and points outside the grid answer blocked.
#include "level_fixture.h"

namespace {

TEST_F(LevelTest, TheSampleLevelBlocksTheCellsUnderItsBoxes)
{
    ASSERT_TRUE(m_level->Load("level1"));
    const AI_Task& ai = *GetAITask();
    EXPECT_EQ(ai.GetGridRows(), 60);
    EXPECT_EQ(ai.GetGridColumns(), 60);
    for (const PVector3& box : {PVector3{10, 10, 0}, PVector3{20, -20, 0}, PVector3{0, 20, 0}, PVector3{-15, 5, 0}}) {
        EXPECT_FALSE(ai.IsCellFree(box.x, box.y)) << box.x << "," << box.y;
    }
    for (const PVector3& ground : {PVector3{-40, -40, 0}, PVector3{40, 15, 0}, PVector3{0, -45, 0}}) {
        EXPECT_TRUE(ai.IsCellFree(ground.x, ground.y)) << ground.x << "," << ground.y;
    }
}

// The fog border's walls stand just outside the terrain's rim; this level's rim lies off the grid's
// 2-unit steps, so the probes of the first and last rows (x -20 and 20, the rim at 21) and of the
// first column (y -10, the rim at -10.5) reach them.
TEST_F(LevelTest, BareGroundIsFreeButBesideTheBorderAndOutsideIsBlocked)
{
    WriteLevel("bare", Level(21.0f, 10.5f));
    ASSERT_TRUE(m_level->Load("bare"));
    const AI_Task& ai = *GetAITask();
    EXPECT_EQ(ai.GetGridRows(), 21) << "a width of 42 gives 21 rows";
    EXPECT_EQ(ai.GetGridColumns(), 10);
    for (int32_t row = 0; row < ai.GetGridRows(); ++row) {
        for (int32_t column = 0; column < ai.GetGridColumns(); ++column) {
            const bool besideBorder = row == 0 || row == ai.GetGridRows() - 1 || column == 0;
            EXPECT_EQ(ai.GetCell(row, column), besideBorder ? 1 : 0) << row << "," << column;
        }
    }
    EXPECT_TRUE(ai.IsCellFree(0.0f, 0.0f));
    EXPECT_TRUE(ai.IsCellFree(-17.9f, -7.9f));
    EXPECT_FALSE(ai.IsCellFree(-20.5f, 0.0f));
    EXPECT_FALSE(ai.IsCellFree(-21.5f, 0.0f));
    EXPECT_FALSE(ai.IsCellFree(0.0f, 10.0f));
    EXPECT_FALSE(ai.IsCellFree(1e30f, 0.0f));
}

TEST_F(LevelTest, AFailedLoadGetsAFreeFiveByFiveGrid)
{
    EXPECT_FALSE(m_level->Load("missing"));
    const AI_Task& ai = *GetAITask();
    EXPECT_EQ(ai.GetGridRows(), 5);
    EXPECT_EQ(ai.GetGridColumns(), 5);
    EXPECT_TRUE(ai.IsCellFree(0.0f, 0.0f));
}

TEST_F(LevelTest, ANewGridReplacesTheOldOne)
{
    AI_Task& ai = *GetAITask();
    ai.CreateNavGrid(100, 100, 2.0f);
    ai.SetCell(50, 50, 1);
    ai.CreateNavGrid(3, 4, 2.0f);
    EXPECT_EQ(ai.GetGridRows(), 3);
    EXPECT_EQ(ai.GetCell(1, 1), 0);
    EXPECT_EQ(ai.GetCell(50, 50), 1) << "outside the grid is blocked";
    ai.CreateNavGrid(-1, 5, 2.0f);
    EXPECT_EQ(ai.GetGridRows(), 0);
    EXPECT_FALSE(ai.IsCellFree(0.0f, 0.0f));
}

}  // namespace
