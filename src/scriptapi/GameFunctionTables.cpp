#include "scriptapi/GameFunctionTables.h"

#include <lua.hpp>

#include "script/EngineFunctions.h"
#include "script/PLuaScript.h"
#include "script/ScriptTimerFunctions.h"

namespace {

const luaL_Reg kGameFunctions[] = {
    {"ClearTimer", ScriptClearTimer},
    {"DeactivateInterface", ScriptDeactivateObject},
    {"IsTimerStopped", ScriptIsTimerStopped},
    {"GetInt", ScriptToInt},
    {nullptr, nullptr},
};

const luaL_Reg kInterfaceFunctions[] = {
    {"StopGlobalTimer", ScriptStopGlobalTimer},
    {"StartGlobalTimer", ScriptStartGlobalTimer},
    {nullptr, nullptr},
};

}  // namespace

const luaL_Reg* GetGameFunctions() { return kGameFunctions; }
const luaL_Reg* GetInterfaceFunctions() { return kInterfaceFunctions; }

void RegisterGameFunctionTables() { CPLuaScript::SetGameTables(kGameFunctions, kInterfaceFunctions); }
