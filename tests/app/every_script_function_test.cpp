// Every function the engine and game tables register, called by a script with values it should
// not pass: nil, numbers, strings, tables, stale and forged handles. Nothing may crash or corrupt
// memory (the tests run under AddressSanitizer); Lua argument errors are allowed.
#include <gtest/gtest.h>

#include <lua.hpp>

#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

#include "InProcessGame.h"
#include "WorkingFolder.h"
#include "app/Application.h"
#include "core/PKernel.h"
#include "core/PMMObject.h"
#include "game/PLevel.h"
#include "game/PPlayerCar.h"
#include "AI/AI_Task.h"
#include "physics/PPhysics.h"
#include "Render/PGameObject.h"
#include "Render/PRender.h"
#include "platform/PathResolver.h"
#include "platform/WindowMessage.h"
#include "scriptapi/EngineFunctions.h"
#include "script/PLuaScript.h"
#include "script/PScriptManager.h"
#include "script/ScriptHandles.h"
#include "scriptapi/GameFunctionTables.h"

namespace {

// The names of every registered function: the engine table, the game table, the interface table.
std::vector<std::string> RegisteredNames() {
    std::vector<std::string> names;
    for (const luaL_Reg* table : {GetEngineFunctions(), GetGameFunctions(), GetInterfaceFunctions()}) {
        for (const luaL_Reg* entry = table; entry->name; ++entry) names.emplace_back(entry->name);
    }
    return names;
}

// abuse(name) calls the function with no argument, each value alone, the value in all seven
// places, a live object first and the value after it, and the value between plausible ones.
constexpr char kAbuse[] = R"(
local values = { nil, 0, -1, 1.5, 1e308, -1e308, 0/0, 2^31, 2^53, '', 'x', 'main', '..\\..\\x',
                 string.rep('y', 5000), '12345', '-1', true, {}, print,
                 stale, forged, inside, misaligned, object, globalObject, StringToPointer('8') }
calls = 0
local function try(f, ...)
  calls = calls + 1
  pcall(f, ...)
end
function abuse(name)
  local f = _G[name]
  try(f)
  for i = 1, 26 do
    local v = values[i]
    try(f, v)
    try(f, v, v, v, v, v, v, v)
    try(f, object, v, v, v, v, v, v)
    try(f, v, 'main', v, 1, v, 2, v)
  end
end
)";

class EveryScriptFunctionTest : public ::testing::Test {
protected:
    void SetUp() override {
        testsupport::CopyGameFolder(VX_SAMPLE_DATA, m_folder.Path());
        m_folder.Write("data/scripts/caller.lua", "while true do Update() end\n");
        platform::InvalidateListings();
        platform::GetMessageQueue().Clear();
        setenv("SDL_VIDEODRIVER", "offscreen", 1);
    }

    void TearDown() override {
        unsetenv("SDL_VIDEODRIVER");
        platform::GetMessageQueue().Clear();
    }

    // A handle as a global of the script's state.
    static void SetHandle(const CPLuaScript& script, const char* name, const void* address) {
        lua_pushlightuserdata(script.GetState(), const_cast<void*>(address));
        lua_setglobal(script.GetState(), name);
    }

    apptest::WorkingFolder m_folder;
};

// The level's life-cycle functions go last in each round, so that the others meet the level of
// the round.
bool IsLifeCycle(const std::string& name) {
    return name == "InitLevel" || name == "StartLevel" || name == "StopLevel" || name == "DeleteLevel";
}

TEST_F(EveryScriptFunctionTest, NothingAScriptPassesCrashesTheEngine) {
    CPApplication application;
    application.Init();
    ASSERT_TRUE(GetScriptManager()->LoadList());
    TPtr<CPRender> render;
    ASSERT_TRUE(apptest::OpenWindowWithRenderer(application, render));
    TPtr<CPPhysics> physics(new CPPhysics);
    TPtr<AI_Task> ai(new AI_Task);

    TPtr<CPLuaScript> script(new CPLuaScript);
    ASSERT_EQ(script->Load("caller"), 0);
    ASSERT_TRUE(script->Start());
    TPtr<CPPlayerCar> object(new CPPlayerCar);
    object->AddChild(TPtr<CPGameObject>(new CPGameObject("child")));
    const void* staleAddress = nullptr;
    {
        TPtr<CPGameObject> gone(new CPGameObject("gone"));
        staleAddress = gone.Get();
    }
    CollectGarbage();
    SetHandle(*script, "stale", staleAddress);
    SetHandle(*script, "forged", reinterpret_cast<const void*>(0x1234));
    SetHandle(*script, "inside", reinterpret_cast<const char*>(object.Get()) + 8);
    SetHandle(*script, "misaligned", reinterpret_cast<const char*>(object.Get()) + 1);
    SetHandle(*script, "object", object.Get());
    lua_State* state = script->GetState();
    ASSERT_EQ(luaL_dostring(state, kAbuse), 0) << lua_tostring(state, -1);

    // Each function in table order, then backwards (so Release comes both after and before
    // AddRef), with the garbage collected between them as between frames; the one that ends the
    // game last.
    std::vector<std::string> names = RegisteredNames();
    std::erase_if(names, IsLifeCycle);
    std::vector<std::string> order = names;
    order.insert(order.end(), names.rbegin(), names.rend());
    std::erase(order, "KillAllTasks");
    for (const char* lifeCycle : {"StartLevel", "StopLevel", "InitLevel", "DeleteLevel"}) order.push_back(lifeCycle);

    // Three rounds: a level made by hand whose car is the object, the sample level running, and
    // a level whose load failed.
    int rounds = 0;
    const auto round = [&](const char* setUp) {
        ++rounds;
        ASSERT_EQ(luaL_dostring(state, setUp), 0) << lua_tostring(state, -1);
        if (CPLevel* level = GetLevel(); level && !level->playerCar) {
            level->playerCar = object;
            level->playerHeading = 0.3f;
        }
        for (const std::string& name : order) {
            ASSERT_EQ(luaL_dostring(state, ("abuse('" + name + "')").c_str()), 0)
                << name << ": " << lua_tostring(state, -1);
            CollectGarbage();
        }
        // What the calls set in motion runs for a few frames.
        for (int frame = 0; frame < 3; ++frame) {
            script->Update();
            if (CPLevel* level = GetLevel(); level && level->updateTask) level->Update();
            render->Update();
            CollectGarbage();
        }
    };
    round("InitLevel('none')");
    round("InitLevel('level1') StartLevel()");
    round("InitLevel('none') StartLevel()");
    ASSERT_EQ(luaL_dostring(state, "abuse('KillAllTasks')"), 0);
    lua_getglobal(state, "calls");
    EXPECT_EQ(lua_tonumber(state, -1), static_cast<double>((rounds * order.size() + 1) * (1 + 26 * 4)));
    lua_pop(state, 1);

    EXPECT_EQ(object->GetName(), "PLAYER");
    script = nullptr;
    delete GetLevel();
    object = nullptr;
    GetKernel()->KillAllTasks();
    physics = nullptr;
    ai = nullptr;
    render = nullptr;
    CollectGarbage();
}

}  // namespace
