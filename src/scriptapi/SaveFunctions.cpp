#include "scriptapi/SaveFunctions.h"

#include <lua.hpp>

#include <string>
#include <vector>

#include "game/PGameData.h"
#include "game/PSaveGame.h"
#include "scriptapi/ScriptArguments.h"

int ScriptSaveGame(lua_State* state) {
    CPGameData* data = GetGameData();
    std::string name;
    lua_pushboolean(state, data && TextArgument(state, 1, name) && data->SaveGame(name));
    return 1;
}

int ScriptLoadGame(lua_State* state) {
    CPGameData* data = GetGameData();
    std::string name;
    if (data && TextArgument(state, 1, name)) data->LoadGame(name);
    return 0;
}

int ScriptGetSaves(lua_State* state) {
    const CPGameData* data = GetGameData();
    std::vector<std::string> descriptions(kSaveSlotCount);
    for (int32_t slot = 1; data && slot <= kSaveSlotCount; ++slot) descriptions[slot - 1] = data->GetSaveDescription(slot);
    return PushTextArray(state, descriptions);
}
