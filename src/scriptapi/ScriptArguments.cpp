#include "scriptapi/ScriptArguments.h"

#include <lua.hpp>

#include <cmath>
#include <limits>

bool TextArgument(lua_State* state, int index, std::string& text) {
    if (!lua_isstring(state, index)) return false;
    size_t length = 0;
    const char* characters = lua_tolstring(state, index, &length);
    text.assign(characters, length);
    return true;
}

float FloatArgument(lua_State* state, int index) {
    const double value = lua_tonumber(state, index);
    constexpr double kLargest = std::numeric_limits<float>::max();
    if (value > kLargest) return std::numeric_limits<float>::infinity();
    if (value < -kLargest) return -std::numeric_limits<float>::infinity();
    return static_cast<float>(value);  // NaN stays NaN
}

float FiniteArgument(lua_State* state, int index) {
    float value = 0.0f;
    ReadFiniteArgument(state, index, value);
    return value;
}

bool ReadFiniteArgument(lua_State* state, int index, float& value) {
    const float read = FloatArgument(state, index);
    if (!std::isfinite(read)) return false;
    value = read;
    return true;
}

void PushTextTable(lua_State* state, const std::vector<std::string>& texts) {
    lua_newtable(state);
    for (size_t i = 0; i < texts.size(); ++i) {
        lua_pushlstring(state, texts[i].data(), texts[i].size());
        lua_rawseti(state, -2, static_cast<int>(i + 1));
    }
}

int PushTextArray(lua_State* state, const std::vector<std::string>& texts) {
    lua_pushnumber(state, static_cast<lua_Number>(texts.size()));
    PushTextTable(state, texts);
    return 2;
}
