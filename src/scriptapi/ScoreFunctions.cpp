#include "scriptapi/ScoreFunctions.h"

#include <lua.hpp>

#include <string>

#include "game/PGameData.h"
#include "script/EngineFunctions.h"
#include "scriptapi/ScriptArguments.h"

int ScriptAddScore(lua_State* state) {
    CPGameData* data = GetGameData();
    if (!data) return 0;
    lua_pushnumber(state, data->AddScore(IntArgument(state, 1)));
    return 1;
}

int ScriptGetScore(lua_State* state) {
    const CPGameData* data = GetGameData();
    if (!data) return 0;
    lua_pushnumber(state, data->score);
    return 1;
}

int ScriptIsInTable(lua_State* state) {
    const CPGameData* data = GetGameData();
    if (!data) return 0;
    const SPScoreLine* last = data->GetScoreLine(kScoreLineCount - 1);
    lua_pushboolean(state, last && IntArgument(state, 1) > last->score);
    return 1;
}

int ScriptSetScoreLine(lua_State* state) {
    CPGameData* data = GetGameData();
    std::string name;
    if (!data || !TextArgument(state, 1, name)) return 0;
    if (name == "noname") name = data->LookUpText("noname");
    data->SetScoreLine(IntArgument(state, 3), name, IntArgument(state, 2));
    return 0;
}

int ScriptGetScoreLine(lua_State* state) {
    const CPGameData* data = GetGameData();
    if (!data) return 0;
    const SPScoreLine* line = data->GetScoreLine(IntArgument(state, 1));
    const std::string name = line ? line->name : std::string();
    lua_pushlstring(state, name.data(), name.size());
    lua_pushnumber(state, line ? line->score : 0);
    return 2;
}
