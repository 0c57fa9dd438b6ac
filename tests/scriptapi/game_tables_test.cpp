// The game's function tables reach every script created after their registration.
#include <gtest/gtest.h>

#include <lua.hpp>

#include <string_view>

#include "core/PGlobalTimer.h"
#include "core/PKernel.h"
#include "Render/PGameObject.h"
#include "script/EngineFunctions.h"
#include "script/ScriptHandles.h"
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

TEST_F(GameTablesTest, TheGameTableKeepsItsOrder) {
    const char* expected[] = {"ClearTimer", "DeactivateInterface", "IsTimerStopped", "GetInt"};
    const luaL_Reg* entry = GetGameFunctions();
    for (const char* name : expected) {
        ASSERT_NE(entry->name, nullptr);
        EXPECT_STREQ(entry->name, name);
        ++entry;
    }
    EXPECT_EQ(entry->name, nullptr);
}

TEST_F(GameTablesTest, DeactivateInterfaceIsDeactivateObject) {
    TPtr<CPLuaScript> script = LoadScript("screens", "");
    TPtr<CPGameObject> screen(new CPGameObject("screen"));
    PushHandle(script->GetState(), screen.Get());
    lua_setglobal(script->GetState(), "screen");

    auto function = [](const luaL_Reg* table, const char* name) -> lua_CFunction {
        for (; table->name; ++table) {
            if (std::string_view(table->name) == name) return table->func;
        }
        return nullptr;
    };
    EXPECT_NE(function(GetGameFunctions(), "DeactivateInterface"), nullptr);
    EXPECT_EQ(function(GetGameFunctions(), "DeactivateInterface"), function(GetEngineFunctions(), "DeactivateObject"));
    screen->Activate(0);
    EXPECT_EQ(Run(*script, "DeactivateInterface(nil) DeactivateInterface(globalObject) DeactivateInterface(screen)"),
              "");
    EXPECT_FALSE(screen->IsActive());
}

}  // namespace
