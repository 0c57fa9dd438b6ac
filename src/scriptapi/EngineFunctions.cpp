#include "scriptapi/EngineFunctions.h"

#include <lua.hpp>

#include <climits>
#include <cmath>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "core/PGlobalTimer.h"
#include "core/PKernel.h"
#include "core/PTokenizer.h"
#include "math/PMatrix.h"
#include "Render/PGameObject.h"
#include "Render/PObjectLoader.h"
#include "Render/PRender.h"
#include "Render/PRenderBlock.h"
#include "script/ElementLocks.h"
#include "script/PScriptManager.h"
#include "script/ScriptHandles.h"
#include "script/ScriptNumbers.h"
#include "Sound/PMusic.h"

namespace {

// A text argument: a string, or a number turned into its text; anything else raises an argument
// error in the calling script. The view stays valid while the argument is on the stack.
std::string_view TextView(lua_State* state, int index) {
    size_t length = 0;
    const char* text = luaL_checklstring(state, index, &length);
    return std::string_view(text, length);
}

std::string CheckText(lua_State* state, int index) { return std::string(TextView(state, index)); }

// The first of the object and its descendants, in the order CollectObjects gathers them, whose
// name is exactly the given one; null when none is. The match stays alive through its parent.
CPGameObject* FindInTree(CPGameObject& object, std::string_view name) {
    std::vector<TPtr<CPGameObject>> objects;
    object.CollectObjects(objects);
    for (const TPtr<CPGameObject>& candidate : objects) {
        if (candidate->GetName() == name) return candidate.Get();
    }
    return nullptr;
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
    IPMMObject* object = ToObject(state, 1);
    CPLuaScript* script = CPLuaScript::FromState(state);
    if (object && script) script->HoldReference(*object);
    return 0;
}

int DumpObjects(lua_State*) {
    IPMMObject::DumpStatistics();
    return 0;
}

// Only references the script took can be given back.
int Release(lua_State* state) {
    IPMMObject* object = ToObject(state, 1);
    CPLuaScript* script = CPLuaScript::FromState(state);
    if (object && script) script->DropReference(*object);
    return 0;
}

// The commands are sent from views of the arguments on the stack, so a frame that sends one
// builds no string.
int SendCommandByName(lua_State* state) {
    const std::string_view name = TextView(state, 1);
    const std::string_view command = TextView(state, 2);
    const std::string_view params = TextView(state, 3);
    if (CPScriptManager* manager = GetScriptManager()) manager->SendCommandByName(name, command, params);
    return 0;
}

int SendCommandByObject(lua_State* state) {
    CPLuaScript* script = ToObject<CPLuaScript>(state, 1);
    if (!script) return 0;
    const std::string_view command = TextView(state, 2);
    const std::string_view params = TextView(state, 3);
    if (CPScriptManager* manager = GetScriptManager()) {
        manager->SendCommandByObject(TPtr<CPLuaScript>(script), command, params);
    }
    return 0;
}

int SendCommandByCategory(lua_State* state) {
    const std::string_view category = TextView(state, 1);
    const std::string_view command = TextView(state, 2);
    const std::string_view params = TextView(state, 3);
    if (CPScriptManager* manager = GetScriptManager()) manager->SendCommandByCategory(category, command, params);
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

int GetChildObject(lua_State* state) {
    size_t length = 0;
    const char* name = luaL_checklstring(state, 2, &length);
    CPGameObject* object = ToObject<CPGameObject>(state, 1);
    PushHandle(state, object ? FindInTree(*object, std::string_view(name, length)) : nullptr);
    return 1;
}

int SetVisible(lua_State* state) {
    if (CPGameObject* object = ToObject<CPGameObject>(state, 1)) object->SetVisible(lua_toboolean(state, 2) != 0);
    return 0;
}

int SetCollision(lua_State* state) {
    if (CPGameObject* object = ToObject<CPGameObject>(state, 1)) object->SetCollision(lua_toboolean(state, 2) != 0);
    return 0;
}

// The loaded object comes with one reference that belongs to the script; a null handle when the
// loader built nothing (not even its fallback).
int LoadRenderObject(lua_State* state) {
    const std::string name = CheckText(state, 1);
    const int32_t layerBase = IntArgument(state, 2);
    CPObjectLoader* loader = GetObjectLoader();
    const TPtr<CPGameObject> object = loader ? loader->LoadObject(name, layerBase) : nullptr;
    PushCountedHandle(state, object.Get());
    return 1;
}

int DrawDynamicObject(lua_State* state) {
    CPGameObject* object = ToObject<CPGameObject>(state, 1);
    CPRender* render = GetRender();
    const TPtr<CPRenderBlock> block = render ? render->GetRenderBlock() : nullptr;
    if (object && block) block->AddObjectTree(TPtr<CPGameObject>(object));
    return 0;
}

// An animation already playing under the same name goes on undisturbed.
int SetAnimation(lua_State* state) {
    luaL_checkstring(state, 2);
    CPGameObject* object = ToObject<CPGameObject>(state, 1);
    if (!object) return 0;
    SPAnimationRequest request;
    request.name = CheckText(state, 2);
    request.speed = static_cast<float>(lua_tonumber(state, 3));
    request.loops = IntArgument(state, 4);
    request.reportFrame = IntArgument(state, 5);
    request.listener = TPtr<CPLuaScript>(ToObject<CPLuaScript>(state, 6));
    request.markFrame = -1;
    request.startOffset = 0.0f;
    object->PlayAnimation(request, false);
    return 0;
}

int GetParentObject(lua_State* state) {
    CPGameObject* object = ToObject<CPGameObject>(state, 1);
    PushHandle(state, object ? object->GetParent().Get() : nullptr);
    return 1;
}

int ActivateObject(lua_State* state) {
    const int32_t priority = IntArgument(state, 2);
    if (CPGameObject* object = ToObject<CPGameObject>(state, 1)) object->Activate(priority);
    return 0;
}

int SetFade(lua_State* state) {
    const float level = static_cast<float>(lua_tonumber(state, 1));
    if (CPRender* render = GetRender()) render->SetFade(level);
    return 0;
}

// LockButton / UnlockButton (interface, element name).
int SetButtonLocked(lua_State* state, bool locked) {
    IPMMObject* screen = ToObject(state, 1);
    const std::string element = luaL_checkstring(state, 2);
    IPElementLocks* locks = GetElementLocks();
    if (locks && screen) locks->SetElementLocked(screen, element, locked);
    return 0;
}

int LockButton(lua_State* state) { return SetButtonLocked(state, true); }
int UnlockButton(lua_State* state) { return SetButtonLocked(state, false); }

int KillAllTasks(lua_State*) {
    if (CPKernel* kernel = GetKernel()) kernel->KillAllTasks();
    return 0;
}

int PlayMusic(lua_State* state) {
    const std::string name = CheckText(state, 1);
    if (CPMusic* music = GetMusic()) music->Play(name, true);
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
    {"GetChildObject", GetChildObject},
    {"SetVisible", SetVisible},
    {"SetCollision", SetCollision},
    {"SplitString", SplitString},
    {"LoadRenderObject", LoadRenderObject},
    {"DrawDynamicObject", DrawDynamicObject},
    {"SetAnimation", SetAnimation},
    {"GetParentObject", GetParentObject},
    {"ActivateObject", ActivateObject},
    {"DeactivateObject", ScriptDeactivateObject},
    {"SetFade", SetFade},
    {"LockButton", LockButton},
    {"UnlockButton", UnlockButton},
    {"KillAllTasks", KillAllTasks},
    {"ToInt", ScriptToInt},
    {"PlayMusic", PlayMusic},
    {nullptr, nullptr},
};

}  // namespace

const luaL_Reg* GetEngineFunctions() { return kEngineFunctions; }

int ScriptDeactivateObject(lua_State* state) {
    if (CPGameObject* object = ToObject<CPGameObject>(state, 1)) object->Deactivate();
    return 0;
}
