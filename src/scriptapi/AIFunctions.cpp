#include "scriptapi/AIFunctions.h"

#include <lua.hpp>

#include <string>

#include "AI/AIManager.h"
#include "AI/AI_Task.h"
#include "AI/EnemyPlacement.h"
#include "game/PEnemyDatabase.h"
#include "game/PGameData.h"
#include "game/PLevel.h"
#include "script/ScriptNumbers.h"
#include "scriptapi/ScriptArguments.h"

namespace {

// A text argument, "" for what yields no string.
std::string StringArgument(lua_State* state, int index)
{
    std::string text;
    TextArgument(state, index, text);
    return text;
}

bool HasLevel() { return GetLevel() != nullptr; }

int PushChoice(lua_State* state, const SPEnemyChoice& choice, bool withKind)
{
    if (withKind) lua_pushstring(state, choice.kind.c_str());
    lua_pushboolean(state, choice.found);
    lua_pushnumber(state, choice.x);
    lua_pushnumber(state, choice.y);
    return withKind ? 4 : 3;
}

}  // namespace

int ScriptLoadMissionInfo(lua_State* state)
{
    CPGameData* data = GetGameData();
    if (HasLevel() && data) data->LoadMissionInfo(StringArgument(state, 1));
    return 0;
}

int ScriptGetCheckPointsCount(lua_State* state)
{
    const CPGameData* data = GetGameData();
    lua_pushnumber(state, HasLevel() && data ? static_cast<lua_Number>(data->checkPoints.size()) : 0);
    return 1;
}

int ScriptGetCheckPointInfo(lua_State* state)
{
    const CPGameData* data = GetGameData();
    const int index = IntArgument(state, 1);
    if (!HasLevel() || !data || index < 0 || static_cast<size_t>(index) >= data->checkPoints.size()) return 0;
    const SPCheckPointInfo& point = data->checkPoints[static_cast<size_t>(index)];
    lua_pushnumber(state, point.param2);
    lua_pushnumber(state, point.param3);
    lua_pushnumber(state, point.param4);
    lua_pushnumber(state, point.param1);
    return 4;
}

int ScriptGetEnemyType(lua_State* state)
{
    const SPEnemyChoice choice =
        ChooseEnemyType(IntArgument(state, 1), StringArgument(state, 1), lua_toboolean(state, 2) != 0);
    return PushChoice(state, choice, true);
}

int ScriptIsEnemySourceNear(lua_State* state)
{
    lua_pushboolean(state, IsEnemySourceNear(lua_toboolean(state, 1) != 0, StringArgument(state, 2)));
    return 1;
}

int ScriptGetPositionForEnemy(lua_State* state)
{
    const int centre = lua_type(state, 3);
    const bool centreGiven = centre == LUA_TSTRING || centre == LUA_TNUMBER;
    const SPEnemyChoice place =
        FindPositionForEnemy(StringArgument(state, 1), centreGiven, FiniteArgument(state, 4), FiniteArgument(state, 5));
    return PushChoice(state, place, false);
}

int ScriptAddEnemy(lua_State* state)
{
    AI_Task* ai = GetAITask();
    if (HasLevel() && ai) ai->AddEnemy(StringArgument(state, 1), FiniteArgument(state, 2), FiniteArgument(state, 3));
    return 0;
}

int ScriptGetEnemyData(lua_State* state)
{
    size_t length = 0;
    const char* name = luaL_checklstring(state, 1, &length);
    CPEnemyDatabase* database = GetEnemyDatabase();
    const SPEnemyData record = database ? database->records[std::string(name, length)] : SPEnemyData();
    lua_pushnumber(state, record.number1);
    lua_pushstring(state, record.text1.c_str());
    lua_pushnumber(state, record.number2);
    lua_pushstring(state, record.text2.c_str());
    lua_pushstring(state, record.text3.c_str());
    return 5;
}

int ScriptGetAICount(lua_State* state)
{
    const AI_Task* ai = GetAITask();
    lua_pushnumber(state, ai ? static_cast<lua_Number>(ai->Manager().Entities().size()) : 0);
    return 1;
}

int ScriptDumpAIInfo(lua_State* /*state*/)
{
    if (const AI_Task* ai = GetAITask()) ai->Manager().DumpInfo();
    return 0;
}
