// The engine's script functions, called from Lua.
#include <gtest/gtest.h>

#include <cstdint>
#include <string>

#include "core/PGlobalTimer.h"
#include "core/PKernel.h"
#include "script/PScriptManager.h"
#include "script/ScriptHandles.h"
#include "script/ScriptNumbers.h"
#include "scriptapi/EngineFunctions.h"
#include "scriptapi/ScriptTimerFunctions.h"
#include "script_fixture.h"
#include "Sound/PMusic.h"

namespace {

// A plain engine object that is not a script.
class Thing : public IPMMObject {
public:
    int32_t GetSize() const override { return static_cast<int32_t>(sizeof(*this)); }
    std::string GetClassName() const override { return "Thing"; }
};

class EngineFunctionTest : public ScriptTest {
protected:
    void SetUp() override {
        ScriptTest::SetUp();
        WriteScriptFile("other.lua", "while true do Update() end");
        WriteScriptFile("caller.lua", "while true do Update() end");
        WriteScriptFile("list.dat", "other t_level group\ncaller t_system\n");
        m_manager = std::make_unique<CPScriptManager>();
        ASSERT_TRUE(m_manager->LoadList());
        m_other = m_manager->GetScript("other");
        m_other->Start();
        m_script = m_manager->GetScript("caller");
        m_script->Start();
    }

    void TearDown() override {
        m_script.Reset();
        m_other.Reset();
        m_manager.reset();
        ScriptTest::TearDown();
    }

    // Runs a chunk in the calling script's state; "" when it ran without error.
    std::string Call(const std::string& chunk) { return Run(*m_script, chunk); }
    double Number(const char* name) { return GlobalNumber(*m_script, name); }
    std::string Text(const char* name) { return GlobalText(*m_script, name); }

    std::unique_ptr<CPScriptManager> m_manager;
    TPtr<CPLuaScript> m_other;
    TPtr<CPLuaScript> m_script;
};

TEST_F(EngineFunctionTest, TableHoldsTheEngineFunctionsInOrder) {
    const char* expected[] = {"GetDeltaTime",      "AddRef",           "DumpObjects",         "Release",
                              "SendCommandByName", "SendCommandByObject", "SendCommandByCategory",
                              "SetNextCommand",    "GetCurrentCommand", "GetCurrentParams",   "PointerToString",
                              "StringToPointer",   "SetPTransformation", "CheckString",       "GetChildObject",
                              "SetVisible",        "SetCollision",      "SplitString",         "LoadRenderObject",    "DrawDynamicObject",
                              "SetAnimation",      "GetParentObject",   "ActivateObject",      "DeactivateObject",
                              "SetFade",           "LockButton",        "UnlockButton",      "KillAllTasks",
                              "ToInt",
                              "PlayMusic"};
    const luaL_Reg* entry = GetEngineFunctions();
    for (const char* name : expected) {
        ASSERT_NE(entry->name, nullptr);
        EXPECT_STREQ(entry->name, name);
        ++entry;
    }
    EXPECT_EQ(entry->name, nullptr);
}

TEST_F(EngineFunctionTest, CommandQueueIsReadOldestFirst) {
    ASSERT_EQ(Call(R"(
        empty = SetNextCommand(globalObject)
        emptyName = select("#", GetCurrentCommand(globalObject))
        emptyParams = select("#", GetCurrentParams(globalObject))
        for _, c in ipairs({"A", "B", "C"}) do SendCommandByName("caller", c, "1,2") end
        seen = ""
        while SetNextCommand(globalObject) do
            local a, b = GetCurrentParams(globalObject)
            assert(type(a) == "string" and a == "1" and b == "2")
            seen = seen .. GetCurrentCommand(globalObject)
        end
        afterwards = select("#", GetCurrentCommand(globalObject))
    )"),
              "");
    EXPECT_EQ(Text("empty"), "false");
    EXPECT_EQ(Number("emptyName"), 0);
    EXPECT_EQ(Number("emptyParams"), 0);
    EXPECT_EQ(Text("seen"), "ABC");
    EXPECT_EQ(Number("afterwards"), 0);
    EXPECT_EQ(m_script->GetQueueLength(), 0);
}

TEST_F(EngineFunctionTest, CommandWithoutParametersGivesNoResults) {
    m_manager->SendCommandByName("caller", "bare", "");
    ASSERT_EQ(Call("SetNextCommand(globalObject) n = select('#', GetCurrentParams(globalObject))"), "");
    EXPECT_EQ(Number("n"), 0);
}

TEST_F(EngineFunctionTest, ManyParametersArePushedSafely) {
    std::string fifty;
    for (int i = 1; i <= 50; ++i) fifty += std::to_string(i) + ",";
    m_manager->SendCommandByName("caller", "fifty", fifty);
    ASSERT_EQ(Call("SetNextCommand(globalObject) local p = {GetCurrentParams(globalObject)} n = #p last = p[50]"), "");
    EXPECT_EQ(Number("n"), 50);
    EXPECT_EQ(Text("last"), "50");

    std::string huge(20000, ',');
    m_manager->SendCommandByName("caller", "huge", huge);
    ASSERT_EQ(Call("SetNextCommand(globalObject)"), "");
    EXPECT_NE(Call("GetCurrentParams(globalObject)"), "");  // an error for the script, not a crash
}

TEST_F(EngineFunctionTest, SendingReachesScriptsByNameCategoryAndObject) {
    SetHandle(*m_script, "other", m_other.Get());
    ASSERT_EQ(Call(R"(
        SendCommandByName("other", "n", 5)
        SendCommandByCategory("group", "c", "x")
        SendCommandByObject(other, "o", "y,z")
        SendCommandByObject(nil)
        SendCommandByName("Other", "lost", "")
    )"),
              "");
    std::string seen;
    while (m_other->NextCommand()) {
        const CPScriptCommand& command = *m_other->GetCurrentCommand();
        seen += command.command + "(";
        for (const std::string& param : command.params) seen += param + ";";
        seen += ")";
    }
    EXPECT_EQ(seen, "n(5;)c(x;)o(y;z;)");
    EXPECT_NE(Call("SendCommandByName('other', {}, '')"), "");
    EXPECT_NE(Call("SendCommandByCategory('group', 'c')"), "");
}

TEST_F(EngineFunctionTest, HandlesRoundTripThroughText) {
    SetHandle(*m_script, "me", m_script.Get());
    ASSERT_EQ(Call("text = PointerToString(me) back = StringToPointer(text) same = (back == me)"), "");
    const uintptr_t address = reinterpret_cast<uintptr_t>(static_cast<IPMMObject*>(m_script.Get()));
    ASSERT_GT(address, uintptr_t{0xFFFFFFFF}) << "the address must need more than 32 bits";
    EXPECT_EQ(Text("text"), std::to_string(static_cast<intptr_t>(address)));
    EXPECT_EQ(Text("same"), "true");
    EXPECT_EQ(HandleToString(m_script.Get()), Text("text"));
}

TEST_F(EngineFunctionTest, ForgedOrStaleHandlesReadAsNull) {
    Thing* thing = new Thing;
    TPtr<IPMMObject> holder(thing);
    SetHandle(*m_script, "thing", thing);
    const std::string thingText = HandleToString(thing);
    const std::string near = std::to_string(reinterpret_cast<intptr_t>(thing) + 8);
    ASSERT_EQ(Call("forged = StringToPointer('" + near + "') zero = StringToPointer('12345') junk = StringToPointer('x')"),
              "");
    for (const char* name : {"forged", "zero", "junk"}) {
        lua_getglobal(m_script->GetState(), name);
        EXPECT_EQ(lua_type(m_script->GetState(), -1), LUA_TLIGHTUSERDATA) << name;
        EXPECT_EQ(lua_touserdata(m_script->GetState(), -1), nullptr) << name;
        lua_pop(m_script->GetState(), 1);
    }

    // An engine object of another class is no script.
    ASSERT_EQ(Call("wrongClass = SetNextCommand(thing) fileHandle = PointerToString(io.stdout)"), "");
    EXPECT_EQ(Text("wrongClass"), "false");
    EXPECT_EQ(Text("fileHandle"), "0");

    holder.Reset();
    CollectGarbage();
    ASSERT_EQ(Call("stale = PointerToString(thing) again = PointerToString(StringToPointer('" + thingText + "'))"), "");
    EXPECT_EQ(Text("stale"), "0");
    EXPECT_EQ(Text("again"), "0");
    EXPECT_EQ(Call("AddRef(thing) Release(thing) SendCommandByObject(thing, 'x', 'y')"), "");
}

TEST_F(EngineFunctionTest, AddRefAndReleaseCountTheObject) {
    Thing* thing = new Thing;
    TPtr<IPMMObject> holder(thing);
    SetHandle(*m_script, "thing", thing);
    ASSERT_EQ(Call("AddRef(thing) AddRef(thing) Release(thing) AddRef(nil) Release(42)"), "");
    EXPECT_EQ(thing->GetRefCount(), 2);
    ASSERT_EQ(Call("Release(thing)"), "");
    EXPECT_EQ(thing->GetRefCount(), 1);
}

// Scripts that release more than they took: the engine's own references stay.
TEST_F(EngineFunctionTest, ReleaseBeyondTheScriptsOwnReferencesIsIgnored) {
    Thing* thing = new Thing;
    TPtr<IPMMObject> holder(thing);
    SetHandle(*m_script, "thing", thing);
    const int32_t scriptCount = m_script->GetRefCount();
    const int32_t otherCount = m_other->GetRefCount();
    const char* chunks[] = {
        "Release(thing) Release(thing) Release(thing)",
        "Release(globalObject) Release(globalObject) Release(globalObject)",
        "AddRef(thing) Release(thing) Release(thing)",
        "Release(StringToPointer(PointerToString(thing)))",
    };
    for (const char* chunk : chunks) {
        ASSERT_EQ(Call(chunk), "") << chunk;
        EXPECT_EQ(thing->GetRefCount(), 1) << chunk;
        EXPECT_EQ(m_script->GetRefCount(), scriptCount) << chunk;
    }
    // A reference one script took is not another script's to give back.
    ASSERT_EQ(Call("AddRef(thing)"), "");
    SetHandle(*m_script, "thing", thing);
    lua_pushlightuserdata(m_other->GetState(), thing);
    lua_setglobal(m_other->GetState(), "thing");
    ASSERT_EQ(Run(*m_other, "Release(thing) Release(thing)"), "");
    EXPECT_EQ(thing->GetRefCount(), 2);
    EXPECT_EQ(m_other->GetRefCount(), otherCount);
    ASSERT_EQ(Call("Release(thing)"), "");
    EXPECT_EQ(thing->GetRefCount(), 1);
}

TEST_F(EngineFunctionTest, ToIntTruncatesTowardZeroWithinInt32) {
    struct Case {
        const char* argument;
        double expected;
    };
    const Case cases[] = {
        {"-2.7", -2},       {"2.7", 2},          {"0", 0},           {"'12.9'", 12},
        {"'abc'", 0},       {"nil", 0},          {"1e12", 2147483647}, {"-1e12", -2147483648.0},
        {"0/0", 0},         {"1/0", 2147483647},
    };
    for (const Case& c : cases) {
        ASSERT_EQ(Call(std::string("r = ToInt(") + c.argument + ")"), "") << c.argument;
        EXPECT_EQ(Number("r"), c.expected) << c.argument;
    }
}

TEST_F(EngineFunctionTest, PlayMusicAsksTheMusicForALoopingTrack) {
    EXPECT_EQ(Call("PlayMusic('alone.ogg')"), "");  // no music task: nothing happens
    {
        TPtr<CPMusic> music(new CPMusic);
        EXPECT_EQ(Call("PlayMusic('missing.ogg')"), "");
        EXPECT_EQ(music->GetCurrentName(), "missing.ogg");
        EXPECT_TRUE(music->IsLooping());
        EXPECT_NE(Call("PlayMusic({})"), "") << "a name must be text";
    }
    CollectGarbage();
}

TEST_F(EngineFunctionTest, CheckStringTurnsNumbersIntoText) {
    ASSERT_EQ(Call("a = CheckString(5) ta = type(a) b = CheckString('x y')"), "");
    EXPECT_EQ(Text("ta"), "string");
    EXPECT_EQ(Text("a"), "5");
    EXPECT_EQ(Text("b"), "x y");
    EXPECT_NE(Call("CheckString({})"), "");
    EXPECT_NE(Call("CheckString()"), "");
}

TEST_F(EngineFunctionTest, SplitStringPushesEveryToken) {
    struct Case {
        const char* call;
        const char* joined;
    };
    const Case cases[] = {
        {"SplitString('a; b;c', ';')", "a|b|c|"},
        {"SplitString('x::\"y::z\"::', '::')", "x|y::z|"},
        {"SplitString('a,,b', ',')", "a||b|"},
        {"SplitString('', ',')", ""},
        {"SplitString(12, 1)", "|2|"},
        {"SplitString('1aab2', 'ab')", "1a|2|"},
        {"SplitString('1aaab2;x', 'aab')", "1a|2;x|"},
    };
    for (const Case& c : cases) {
        ASSERT_EQ(Call(std::string("local t = {") + c.call + "} s = '' for _, v in ipairs(t) do s = s .. v .. '|' end"),
                  "")
            << c.call;
        EXPECT_EQ(Text("s"), c.joined) << c.call;
    }
    std::string many(20000, ';');
    EXPECT_NE(Call("SplitString('" + many + "', ';')"), "");
}

TEST_F(EngineFunctionTest, DeltaTimeAndKillAllTasks) {
    g_frameDelta = 0.25f;
    ASSERT_EQ(Call("d = GetDeltaTime()"), "");
    EXPECT_EQ(Number("d"), 0.25);
    g_frameDelta = 0.0f;

    EXPECT_EQ(Call("KillAllTasks() DumpObjects()"), "");  // no kernel: nothing happens
    CPKernel kernel;
    TPtr<CPLuaScript> task = LoadScript("task", "Update()");
    ASSERT_TRUE(kernel.AddTask(task));
    ASSERT_EQ(Call("KillAllTasks()"), "");
    EXPECT_TRUE(task->IsKilled());
}

TEST_F(EngineFunctionTest, ArgumentErrorEndsTheCallingScriptOnly) {
    TPtr<CPLuaScript> faulty = StartScript("faulty", "Update() SendCommandByName('other', {}, '') Update()");
    faulty->Update();
    faulty->Update();
    EXPECT_TRUE(faulty->IsFinished());
    EXPECT_TRUE(faulty->IsKilled());
    EXPECT_EQ(m_other->GetQueueLength(), 0);
}

class TimerFunctionTest : public EngineFunctionTest {
protected:
    void SetUp() override {
        EngineFunctionTest::SetUp();
        static const luaL_Reg game[] = {{"StopGlobalTimer", ScriptStopGlobalTimer},
                                 {"StartGlobalTimer", ScriptStartGlobalTimer},
                                 {"ClearTimer", ScriptClearTimer},
                                 {"IsTimerStopped", ScriptIsTimerStopped},
                                 {"GetInt", ScriptToInt},
                                 {nullptr, nullptr}};
        CPLuaScript::SetGameTables(game, nullptr);
        m_script = StartScript("timed", "while true do Update() end");
    }
};

TEST_F(TimerFunctionTest, StopStartAndClearTheFrameTimer) {
    ASSERT_EQ(Call("before = IsTimerStopped() StopGlobalTimer() ClearTimer()"), "");  // no timer yet
    EXPECT_EQ(Text("before"), "false");
    EXPECT_EQ(Call("assert(GetInt(-3.5) == -3)"), "");

    CPKernel kernel;
    TPtr<CPGlobalTimer> timer(new CPGlobalTimer);
    ASSERT_TRUE(kernel.AddTask(timer));
    g_frameDelta = 0.5f;
    ASSERT_EQ(Call("StopGlobalTimer() stopped = IsTimerStopped()"), "");
    EXPECT_EQ(Text("stopped"), "true");
    EXPECT_TRUE(timer->IsKilled());
    EXPECT_EQ(g_frameDelta, 0.0f);

    ASSERT_EQ(Call("StartGlobalTimer() running = IsTimerStopped()"), "");
    EXPECT_EQ(Text("running"), "false");
    EXPECT_TRUE(timer->IsRunning());
    EXPECT_EQ(kernel.GetActiveTasks().size(), 1u);

    g_frameDelta = 0.5f;
    g_timeScale = 0.25f;
    ASSERT_EQ(Call("ClearTimer()"), "");
    EXPECT_EQ(g_frameDelta, 0.0f);
    EXPECT_EQ(g_timeScale, 1.0f);
}

}  // namespace
