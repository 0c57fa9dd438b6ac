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
#include "Render/PGameObject.h"
#include "Render/PRender.h"
#include "platform/PathResolver.h"
#include "platform/WindowMessage.h"
#include "script/EngineFunctions.h"
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

TEST_F(EveryScriptFunctionTest, NothingAScriptPassesCrashesTheEngine) {
    CPApplication application;
    application.Init();
    ASSERT_TRUE(GetScriptManager()->LoadList());
    TPtr<CPRender> render;
    ASSERT_TRUE(apptest::OpenWindowWithRenderer(application, render));

    TPtr<CPLuaScript> script(new CPLuaScript);
    ASSERT_EQ(script->Load("caller"), 0);
    ASSERT_TRUE(script->Start());
    TPtr<CPPlayerCar> object(new CPPlayerCar);
    object->AddChild(TPtr<CPGameObject>(new CPGameObject("child")));
    auto level = std::make_unique<CPLevel>();  // so that the functions of a level run too
    level->playerCar = object;
    level->playerHeading = 0.3f;
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
    std::vector<std::string> order = names;
    order.insert(order.end(), names.rbegin(), names.rend());
    std::erase(order, "KillAllTasks");
    order.push_back("KillAllTasks");
    for (const std::string& name : order) {
        ASSERT_EQ(luaL_dostring(state, ("abuse('" + name + "')").c_str()), 0) << name << ": " << lua_tostring(state, -1);
        CollectGarbage();
    }
    lua_getglobal(state, "calls");
    EXPECT_EQ(lua_tonumber(state, -1), static_cast<double>(order.size() * (1 + 26 * 4)));
    lua_pop(state, 1);

    // What the calls set in motion runs for a few frames.
    for (int frame = 0; frame < 3; ++frame) {
        script->Update();
        render->Update();
        CollectGarbage();
    }
    EXPECT_EQ(object->GetName(), "PLAYER");
    script = nullptr;
    level.reset();
    object = nullptr;
    GetKernel()->KillAllTasks();
    render = nullptr;
    CollectGarbage();
}

}  // namespace
