#include "scriptapi/SettingsFunctions.h"

#include <lua.hpp>

#include <cmath>

#include "core/SettingsVariables.h"
#include "game/PGameData.h"
#include "script/ScriptNumbers.h"
#include "scriptapi/ScriptArguments.h"

namespace {

constexpr float kLeastBrightness = 0.05f;

}  // namespace

int ScriptGetMouse(lua_State* state) {
    lua_pushnumber(state, g_mouse);
    return 1;
}

int ScriptSetMouse(lua_State* state) {
    ReadFiniteArgument(state, 1, g_mouse);
    return 0;
}

int ScriptGetBrightness(lua_State* state) {
    lua_pushnumber(state, g_brightness);
    return 1;
}

// What is no finite number stores the least brightness too.
int ScriptSetBrightness(lua_State* state) {
    const float brightness = FiniteArgument(state, 1);
    g_brightness = brightness >= kLeastBrightness ? brightness : kLeastBrightness;
    return 0;
}

int ScriptSetDifficulty(lua_State* state) {
    g_difficulty = IntArgument(state, 1);
    return 0;
}

int ScriptGetDifficulty(lua_State* state) {
    lua_pushboolean(state, g_difficulty != 0);
    return 1;
}

int ScriptGetDifficult(lua_State* state) {
    const CPGameData* data = GetGameData();
    lua_pushnumber(state, data && data->hardMode ? 1 : 0);
    return 1;
}

int ScriptSetDifficult(lua_State* state) {
    CPGameData* data = GetGameData();
    if (!data) return 0;
    data->hardMode = lua_toboolean(state, 1);
    data->LoadCoefficients();
    return 0;
}

int ScriptGetCurrentResolution(lua_State* state) {
    lua_pushnumber(state, g_screenWidth);
    lua_pushnumber(state, g_screenHeight);
    return 2;
}
