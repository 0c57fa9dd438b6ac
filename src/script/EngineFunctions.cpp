#include "script/EngineFunctions.h"

#include <lua.hpp>

#include <climits>
#include <cmath>
#include <string>

#include "core/PGlobalTimer.h"
#include "core/PKernel.h"
#include "core/PTokenizer.h"
#include "math/PMatrix.h"
#include "Render/PGameObject.h"
#include "Render/PRender.h"
#include "Render/PRenderBlock.h"
#include "script/PScriptManager.h"
#include "script/ScriptHandles.h"

namespace {

// A text argument: a string, or a number turned into its text; anything else raises an argument
// error in the calling script.
std::string CheckText(lua_State* state, int index) {
    size_t length = 0;
    const char* text = luaL_checklstring(state, index, &length);
    return std::string(text, length);
}

// Pushes every token of the text; -1 when the stack cannot hold one more.
int PushTokens(lua_State* state, const std::string& text, const std::string& delimiter) {
    CPTokenizer tokenizer(text, delimiter, true);
    std::string token;
    int count = 0;
    while (tokenizer.NextToken(token)) {
        if (!lua_checkstack(state, 1)) return -1;
        lua_pushlstring(state, token.data(), token.size());
        ++count;
    }
    return count;
}

int GetDeltaTime(lua_State* state) {
    lua_pushnumber(state, g_frameDelta);
    return 1;
}

int AddRef(lua_State* state) {
    if (IPMMObject* object = ToObject(state, 1)) object->AddRef();
    return 0;
}

int DumpObjects(lua_State*) {
    IPMMObject::DumpStatistics();
    return 0;
}

int Release(lua_State* state) {
    if (IPMMObject* object = ToObject(state, 1)) object->Release();
    return 0;
}

// Lua errors unwind with longjmp, which skips destructors: every text argument is checked before
// the first std::string of a call is built.
int SendCommandByName(lua_State* state) {
    for (int index = 1; index <= 3; ++index) luaL_checkstring(state, index);
    if (CPScriptManager* manager = GetScriptManager()) {
        manager->SendCommandByName(CheckText(state, 1), CheckText(state, 2), CheckText(state, 3));
    }
    return 0;
}

int SendCommandByObject(lua_State* state) {
    CPLuaScript* script = ToObject<CPLuaScript>(state, 1);
    if (!script) return 0;
    for (int index = 2; index <= 3; ++index) luaL_checkstring(state, index);
    if (CPScriptManager* manager = GetScriptManager()) {
        manager->SendCommandByObject(TPtr<CPLuaScript>(script), CheckText(state, 2), CheckText(state, 3));
    }
    return 0;
}

int SendCommandByCategory(lua_State* state) {
    for (int index = 1; index <= 3; ++index) luaL_checkstring(state, index);
    if (CPScriptManager* manager = GetScriptManager()) {
        manager->SendCommandByCategory(CheckText(state, 1), CheckText(state, 2), CheckText(state, 3));
    }
    return 0;
}

int SetNextCommand(lua_State* state) {
    CPLuaScript* script = ToObject<CPLuaScript>(state, 1);
    lua_pushboolean(state, script && script->NextCommand());
    return 1;
}

int GetCurrentCommand(lua_State* state) {
    const CPLuaScript* script = ToObject<CPLuaScript>(state, 1);
    const CPScriptCommand* command = script ? script->GetCurrentCommand() : nullptr;
    if (!command) return 0;
    lua_pushlstring(state, command->command.data(), command->command.size());
    return 1;
}

int GetCurrentParams(lua_State* state) {
    const CPLuaScript* script = ToObject<CPLuaScript>(state, 1);
    const CPScriptCommand* command = script ? script->GetCurrentCommand() : nullptr;
    if (!command) return 0;
    if (command->params.size() > static_cast<size_t>(LUAI_MAXCSTACK) ||
        !lua_checkstack(state, static_cast<int>(command->params.size()))) {
        return luaL_error(state, "too many parameters: %d", static_cast<int>(command->params.size()));
    }
    for (const std::string& param : command->params) lua_pushlstring(state, param.data(), param.size());
    return static_cast<int>(command->params.size());
}

int PointerToString(lua_State* state) {
    char text[kHandleTextSize];
    FormatHandle(ToObject(state, 1), text);
    lua_pushstring(state, text);
    return 1;
}

int StringToPointer(lua_State* state) {
    PushHandle(state, StringToObject(luaL_checkstring(state, 1)));
    return 1;
}

int SetPTransformation(lua_State* state) {
    float numbers[6];
    for (int i = 0; i < 6; ++i) numbers[i] = static_cast<float>(lua_tonumber(state, i + 2));
    CPGameObject* object = ToObject<CPGameObject>(state, 1);
    if (!object) return 0;
    const auto [x, y, z, yaw, pitch, roll] = numbers;
    object->SetParentMatrix(MatrixRotationYawPitchRoll(yaw, pitch, roll) * MatrixTranslation(x, y, z));
    object->UpdateTransform();
    return 0;
}

int CheckString(lua_State* state) {
    size_t length = 0;
    const char* text = luaL_checklstring(state, 1, &length);
    lua_pushlstring(state, text, length);
    return 1;
}

int SplitString(lua_State* state) {
    for (int index = 1; index <= 2; ++index) luaL_checkstring(state, index);
    const int count = PushTokens(state, CheckText(state, 1), CheckText(state, 2));
    if (count < 0) return luaL_error(state, "too many tokens");
    return count;
}

int DrawDynamicObject(lua_State* state) {
    CPGameObject* object = ToObject<CPGameObject>(state, 1);
    CPRender* render = GetRender();
    const TPtr<CPRenderBlock> block = render ? render->GetRenderBlock() : nullptr;
    if (object && block) block->AddObjectTree(TPtr<CPGameObject>(object));
    return 0;
}

int KillAllTasks(lua_State*) {
    if (CPKernel* kernel = GetKernel()) kernel->KillAllTasks();
    return 0;
}

constexpr luaL_Reg kEngineFunctions[] = {
    {"GetDeltaTime", GetDeltaTime},
    {"AddRef", AddRef},
    {"DumpObjects", DumpObjects},
    {"Release", Release},
    {"SendCommandByName", SendCommandByName},
    {"SendCommandByObject", SendCommandByObject},
    {"SendCommandByCategory", SendCommandByCategory},
    {"SetNextCommand", SetNextCommand},
    {"GetCurrentCommand", GetCurrentCommand},
    {"GetCurrentParams", GetCurrentParams},
    {"PointerToString", PointerToString},
    {"StringToPointer", StringToPointer},
    {"SetPTransformation", SetPTransformation},
    {"CheckString", CheckString},
    {"SplitString", SplitString},
    {"DrawDynamicObject", DrawDynamicObject},
    {"KillAllTasks", KillAllTasks},
    {"ToInt", ScriptToInt},
    {nullptr, nullptr},
};

}  // namespace

const luaL_Reg* GetEngineFunctions() { return kEngineFunctions; }

int ScriptToInt(lua_State* state) {
    const lua_Number value = std::trunc(lua_tonumber(state, 1));
    lua_Number clamped = 0;
    if (value >= INT32_MAX) {
        clamped = INT32_MAX;
    } else if (value <= INT32_MIN) {
        clamped = INT32_MIN;
    } else if (!std::isnan(value)) {
        clamped = value;
    }
    lua_pushnumber(state, clamped);
    return 1;
}
