#include "scriptapi/LevelFunctions.h"

#include <lua.hpp>

#include <string>

#include "Render/PGameObject.h"
#include "core/PLog.h"
#include "core/PTask.h"
#include "game/PGameData.h"
#include "game/PLevel.h"
#include "script/ScriptHandles.h"
#include "scriptapi/ScriptArguments.h"

namespace {

// A level name is a plain file name: no folder, no way out of the levels folder.
bool IsPlainName(const std::string& name) {
    return !name.empty() && name.find_first_of("/\\:") == std::string::npos && name.find("..") == std::string::npos;
}

}  // namespace

int ScriptInitLevel(lua_State* state) {
    const char* text = lua_tostring(state, 1);
    const std::string name = text ? text : "";
    delete GetLevel();
    CPLevel* level = new CPLevel;
    if (IsPlainName(name)) {
        level->Load(name);
    } else {
        GetLog()->Print(0, "InitLevel: \"%s\" is no level name; the level stays empty\n", name.c_str());
    }
    return 0;
}

int ScriptStartLevel(lua_State*) {
    if (CPLevel* level = GetLevel()) level->Start();
    return 0;
}

int ScriptStopLevel(lua_State*) {
    if (CPLevel* level = GetLevel()) level->Stop();
    return 0;
}

int ScriptDeleteLevel(lua_State*) {
    delete GetLevel();
    return 0;
}

int ScriptSetLevelTime(lua_State* state) {
    CPLevel* level = GetLevel();
    const CPGameData* data = GetGameData();
    if (!level) return 0;
    level->levelTime = FiniteArgument(state, 1) * (data ? data->levelTimeFactor : 1.0f);
    return 0;
}

int ScriptChangeCheckpointPosition(lua_State* state) {
    CPLevel* level = GetLevel();
    if (!level || !level->currentCheckPoint) return 0;
    level->currentCheckPoint->SetPosition({FiniteArgument(state, 1), FiniteArgument(state, 2), 0.0f});
    level->currentCheckPoint->UpdateTransform();
    return 0;
}

int ScriptStopScript(lua_State* state) {
    if (IPTask* task = ToObject<IPTask>(state, 1)) task->Kill();
    return 0;
}

int ScriptShowCheckPoint(lua_State*) {
    if (CPLevel* level = GetLevel()) level->ShowNextCheckPoint();
    return 0;
}
