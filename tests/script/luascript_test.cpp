// The script task: how a chunk keeps or ends its life, failures, isolation, the libraries and the
// registration of the game's tables.
#include <gtest/gtest.h>

#include <cmath>
#include <string>

#include "core/PKernel.h"
#include "platform/Random.h"
#include "platform/WindowMessage.h"
#include "script_fixture.h"

namespace {

using LuaScriptTest = ScriptTest;

// How a chunk gives back its frames, and whether it is still alive after one and after two steps.
struct LifeCase {
    const char* label;
    const char* source;
    bool aliveAfterFirst;
    bool aliveAfterSecond;
    bool killedAtTheEnd;
};

TEST_F(LuaScriptTest, OnlyAYieldOfSevenKeepsAScriptAlive) {
    const LifeCase cases[] = {
        {"update in a loop", "while true do Update() end", true, true, false},
        {"coroutine yield 7", "while true do coroutine.yield(7) end", true, true, false},
        {"yield 7.9", "while true do coroutine.yield(7.9) end", true, true, false},
        {"yield 8", "coroutine.yield(8) Update()", false, false, false},
        {"yield text", "coroutine.yield('x') Update()", false, false, false},
        {"yield nothing", "coroutine.yield() Update()", false, false, false},
        {"two frames then return", "Update() return", true, false, false},
        {"return", "x = 1", false, false, false},
        {"return 7", "return 7", true, false, true},
        {"runtime error", "error('boom')", false, false, true},
        {"error with a table", "error({})", false, false, false},
        {"error in the second frame", "Update() local t = nil; t.x = 1", true, false, true},
        {"syntax error", "while do end", false, false, true},
    };
    for (const LifeCase& c : cases) {
        TPtr<CPLuaScript> script = StartScript("life", c.source);
        script->Update();
        EXPECT_EQ(!script->IsFinished(), c.aliveAfterFirst) << c.label;
        script->Update();
        EXPECT_EQ(!script->IsFinished(), c.aliveAfterSecond) << c.label;
        EXPECT_EQ(script->IsKilled(), c.killedAtTheEnd) << c.label;
        EXPECT_EQ(lua_gettop(script->GetThread()), 0) << c.label;
    }
}

TEST_F(LuaScriptTest, ScriptThatIsNotStartedDoesNothing) {
    TPtr<CPLuaScript> script = LoadScript("counter", "n = 0 while true do n = n + 1 Update() end");
    EXPECT_TRUE(script->IsFinished());
    script->Update();
    EXPECT_EQ(GlobalNumber(*script, "n"), 0);
    EXPECT_TRUE(script->Start());
    EXPECT_FALSE(script->Start());
    script->Update();
    EXPECT_EQ(GlobalNumber(*script, "n"), 1);
}

TEST_F(LuaScriptTest, StoppedScriptResumesWhereItStopped) {
    TPtr<CPLuaScript> script = StartScript("counter", "n = 0 while true do n = n + 1 Update() end");
    script->Update();
    script->Update();
    script->Stop();
    EXPECT_TRUE(script->Start());
    script->Update();
    EXPECT_EQ(GlobalNumber(*script, "n"), 3);
}

TEST_F(LuaScriptTest, MissingFileFailsTheLoad) {
    TPtr<CPLuaScript> script(new CPLuaScript);
    EXPECT_LT(script->Load("absent"), 0);
    EXPECT_EQ(script->GetThread(), nullptr);
}

// Counts the frames in which it runs and ends the loop after a given number.
class FrameLimit : public IPTask {
public:
    explicit FrameLimit(int frames) : m_left(frames) {}
    void Update() override {
        if (--m_left == 0) GetKernel()->KillAllTasks();
    }
    int32_t GetType() const override { return 3; }
    int32_t GetSize() const override { return static_cast<int32_t>(sizeof(*this)); }
    std::string GetClassName() const override { return "FrameLimit"; }

private:
    int m_left;
};

TEST_F(LuaScriptTest, FailingScriptsLeaveTheKernelAndTheOthersGoOn) {
    platform::GetMessageQueue().Clear();
    g_windowActive = true;
    const char* counting = "frames = 0 while true do frames = frames + 1 Update() end";
    TPtr<CPLuaScript> first = LoadScript("first", counting);
    TPtr<CPLuaScript> syntax = LoadScript("syntax", "frames = = 1");
    TPtr<CPLuaScript> runtime = LoadScript("runtime", "frames = 0 Update() Update() frames = nil + 1");
    TPtr<CPLuaScript> last = LoadScript("last", counting);
    {
        CPKernel kernel;
        kernel.SetEventPump([] {});
        for (const TPtr<CPLuaScript>& script : {first, syntax, runtime, last}) {
            script->SetPriority(20);
            ASSERT_TRUE(kernel.AddTask(script));
        }
        TPtr<IPTask> limit(new FrameLimit(10));
        limit->SetPriority(30);
        ASSERT_TRUE(kernel.AddTask(limit));

        kernel.Run();
    }
    EXPECT_EQ(GlobalNumber(*first, "frames"), 10);
    EXPECT_EQ(GlobalNumber(*last, "frames"), 10);
    EXPECT_FALSE(syntax->IsRunning());
    EXPECT_FALSE(runtime->IsRunning());
    EXPECT_EQ(GlobalNumber(*runtime, "frames"), 0);
}

TEST_F(LuaScriptTest, ScriptsDoNotSeeEachOthersGlobals) {
    TPtr<CPLuaScript> a = StartScript("a", "shared = 'a' while true do Update() end");
    TPtr<CPLuaScript> b = StartScript("b", "seen = tostring(shared) shared = 'b' while true do Update() end");
    a->Update();
    b->Update();
    a->Update();
    EXPECT_EQ(GlobalText(*a, "shared"), "a");
    EXPECT_EQ(GlobalText(*b, "shared"), "b");
    EXPECT_EQ(GlobalText(*b, "seen"), "nil");
}

TEST_F(LuaScriptTest, ThreadStackStaysFlatOverTenThousandFrames) {
    TPtr<CPLuaScript> script = StartScript("steady", R"(
        frames = 0
        while true do
            frames = frames + 1
            while SetNextCommand(globalObject) do GetCurrentParams(globalObject) end
            coroutine.yield(7, "extra", frames)
            Update()
        end)");
    lua_State* thread = script->GetThread();
    script->Update();
    const int depth = lua_gettop(thread);
    for (int frame = 0; frame < 10000; ++frame) {
        script->Update();
        ASSERT_EQ(lua_gettop(thread), depth) << frame;
    }
    EXPECT_EQ(GlobalNumber(*script, "frames"), 5001);
    EXPECT_FALSE(script->IsFinished());
}

TEST_F(LuaScriptTest, ClassNameCarriesTheScriptName) {
    TPtr<CPLuaScript> script = LoadScript("gamemenu", "Update()");
    EXPECT_EQ(script->GetClassName(), "CPLuaScript-gamemenu");
}

TEST_F(LuaScriptTest, GlobalObjectIsTheScriptsOwnHandle) {
    TPtr<CPLuaScript> script = LoadScript("self", "Update()");
    lua_State* state = script->GetState();
    lua_getglobal(state, "globalObject");
    EXPECT_EQ(lua_type(state, -1), LUA_TLIGHTUSERDATA);
    EXPECT_EQ(lua_touserdata(state, -1), static_cast<IPMMObject*>(script.Get()));
    lua_pop(state, 1);
}

TEST_F(LuaScriptTest, StateOpensTheDesignedLibraries) {
    TPtr<CPLuaScript> script = LoadScript("libs", "Update()");
    EXPECT_EQ(Run(*script, R"(
        assert(type(print) == "function" and type(coroutine.yield) == "function")
        assert(type(io.open) == "function" and type(os.time) == "function")
        assert(string.upper("a") == "A" and math.floor(2.5) == 2)
        local t = {} table.insert(t, 1) assert(#t == 1)
        assert(type(Update) == "function" and type(SendCommandByName) == "function")
    )"),
              "");
}

TEST_F(LuaScriptTest, MathRandomDrawsFromTheGamesGenerator) {
    TPtr<CPLuaScript> script = LoadScript("dice", "Update()");
    ASSERT_EQ(Run(*script, "math.randomseed(1234) r0 = math.random() r1 = math.random(6) r2 = math.random(10, 20)"), "");

    platform::Srand(1234);
    const double r0 = static_cast<double>(platform::Rand() % platform::kRandMax) / platform::kRandMax;
    const double r1 = static_cast<double>(platform::Rand() % platform::kRandMax) / platform::kRandMax;
    const double r2 = static_cast<double>(platform::Rand() % platform::kRandMax) / platform::kRandMax;
    EXPECT_DOUBLE_EQ(GlobalNumber(*script, "r0"), r0);
    EXPECT_EQ(GlobalNumber(*script, "r1"), std::floor(r1 * 6) + 1);
    EXPECT_EQ(GlobalNumber(*script, "r2"), std::floor(r2 * 11) + 10);
    EXPECT_NE(Run(*script, "math.random(5, 1)"), "");
}

int Answer(lua_State* state) {
    lua_pushnumber(state, 42);
    return 1;
}

int Overridden(lua_State* state) {
    lua_pushstring(state, "game");
    return 1;
}

TEST_F(LuaScriptTest, GameTablesAreRegisteredAfterTheEngineTableGameFirst) {
    const luaL_Reg game[] = {{"Answer", Answer}, {"ToInt", Overridden}, {nullptr, nullptr}};
    const luaL_Reg iface[] = {{"Answer", Overridden}, {nullptr, nullptr}, {"Hidden", Answer}};
    CPLuaScript::SetGameTables(game, iface);
    TPtr<CPLuaScript> script = LoadScript("tables", "Update()");
    EXPECT_EQ(Run(*script, "assert(ToInt(1.5) == 'game') assert(Answer() == 'game') assert(Hidden == nil)"), "");

    CPLuaScript::SetGameTables(game, nullptr);
    TPtr<CPLuaScript> second = LoadScript("tables", "Update()");
    EXPECT_EQ(Run(*second, "assert(Answer() == 42)"), "");
}

TEST_F(LuaScriptTest, PanicFunctionToleratesAnyMessage) {
    lua_State* state = luaL_newstate();
    EXPECT_EQ(CPLuaScript::ScriptPanic(state), 0);  // empty stack
    lua_pushstring(state, "below");
    lua_newtable(state);
    EXPECT_EQ(CPLuaScript::ScriptPanic(state), 0);  // a table on top
    lua_pushstring(state, "message on top");
    EXPECT_EQ(CPLuaScript::ScriptPanic(state), 0);
    lua_pushnumber(state, 3);
    EXPECT_EQ(CPLuaScript::ScriptPanic(state), 0);
    EXPECT_EQ(lua_gettop(state), 4);  // nothing taken or converted
    EXPECT_EQ(lua_type(state, -1), LUA_TNUMBER);
    lua_close(state);
}

}  // namespace
