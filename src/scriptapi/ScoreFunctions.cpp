#include "scriptapi/ScoreFunctions.h"

#include <lua.hpp>

#include <cstdio>
#include <string>

#include "game/PGameData.h"
#include "game/PLevel.h"
#include "math/Truncate.h"
#include "script/ScriptNumbers.h"
#include "scriptapi/InterfaceArgument.h"
#include "scriptapi/ScriptArguments.h"

namespace {

// Writes the number into the screen's text of that name with the format.
void ShowCounter(lua_State* state, const char* textName, const char* format) {
    CPInterface* screen = InterfaceArgument(state, 1);
    if (!screen) return;
    char shown[16];
    std::snprintf(shown, sizeof shown, format, IntArgument(state, 2));
    screen->SetTextString(textName, shown);
}

}  // namespace

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

int ScriptUpdateScore(lua_State* state) {
    ShowCounter(state, "score", "%06d");
    return 0;
}

int ScriptUpdateScore2(lua_State* state) {
    ShowCounter(state, "score2", "%03d");
    return 0;
}

int ScriptUpdateTime(lua_State* state) {
    const CPLevel* level = GetLevel();
    CPInterface* screen = InterfaceArgument(state, 1);
    if (!level || !screen) return 0;
    // Not clamped at zero: a time run out shows as "00:-1".
    const double left = level->levelTime;
    const int32_t minutes = TruncateToInt32(left * 0.016666668f);
    const int32_t seconds = TruncateToInt32(left - static_cast<double>(minutes) * 60.0);
    char shown[32];
    std::snprintf(shown, sizeof shown, "%02d:%02d", minutes, seconds);
    screen->SetTextString("time", shown);
    screen->BuildGeometry();
    return 0;
}
