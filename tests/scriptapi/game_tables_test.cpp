// The game's function tables reach every script created after their registration.
#include <gtest/gtest.h>

#include "core/PGlobalTimer.h"
#include "core/PKernel.h"
#include "script/script_fixture.h"
#include "scriptapi/GameFunctionTables.h"

namespace {

class GameTablesTest : public ScriptTest {
protected:
    void SetUp() override {
        ScriptTest::SetUp();
        RegisterGameFunctionTables();
    }
};

TEST_F(GameTablesTest, GetIntTruncatesTowardZeroLikeToInt) {
    TPtr<CPLuaScript> script = LoadScript("ints", "");
    EXPECT_EQ(Run(*script, "a = GetInt(2.9) b = GetInt(-2.9) c = ToInt(-2.9) d = GetInt('x')"), "");
    EXPECT_EQ(GlobalNumber(*script, "a"), 2.0);
    EXPECT_EQ(GlobalNumber(*script, "b"), -2.0);
    EXPECT_EQ(GlobalNumber(*script, "c"), -2.0);
    EXPECT_EQ(GlobalNumber(*script, "d"), 0.0);
}

TEST_F(GameTablesTest, ScriptsStopStartAndClearTheFrameTimer) {
    CPKernel kernel;
    TPtr<CPGlobalTimer> timer(new CPGlobalTimer);
    timer->SetPriority(10);
    ASSERT_TRUE(kernel.AddTask(timer));
    TPtr<CPLuaScript> script = LoadScript("timer", "");

    EXPECT_EQ(Run(*script, "StopGlobalTimer() stopped = IsTimerStopped()"), "");
    EXPECT_EQ(GlobalText(*script, "stopped"), "true");
    EXPECT_EQ(g_frameDelta, 0.0f);

    EXPECT_EQ(Run(*script, "StartGlobalTimer() stopped = IsTimerStopped()"), "");
    EXPECT_EQ(GlobalText(*script, "stopped"), "false");

    g_timeScale = 0.5f;
    EXPECT_EQ(Run(*script, "ClearTimer()"), "");
    EXPECT_EQ(g_timeScale, 1.0f);
    EXPECT_EQ(g_frameDelta, 0.0f);
}

}  // namespace
