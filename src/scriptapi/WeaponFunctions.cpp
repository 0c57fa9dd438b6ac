#include "scriptapi/WeaponFunctions.h"

#include <lua.hpp>

#include <cmath>
#include <string>

#include "game/PGameData.h"
#include "game/PLevel.h"
#include "Render/PGameObject.h"
#include "script/PScriptManager.h"
#include "script/ScriptNumbers.h"
#include "script/ScriptHandles.h"
#include "scriptapi/BonusDraw.h"
#include "scriptapi/ScriptArguments.h"
#include "weapons/PWeaponsSystem.h"

namespace {

void SpawnAsScript(const std::string& name, const PVector3& position, const PVector3& direction) {
    if (CPWeaponsSystem* weapons = GetWeaponsSystem()) {
        weapons->Spawn(name, position, direction, -1.0f, nullptr, nullptr, false);
    }
}

PVector3 VectorArgument(lua_State* state, int first) {
    return {FiniteArgument(state, first), FiniteArgument(state, first + 1), FiniteArgument(state, first + 2)};
}

}  // namespace

int ScriptShot(lua_State* state) {
    size_t length = 0;
    const char* name = luaL_checklstring(state, 1, &length);
    const CPGameObject* object = ToObject<CPGameObject>(state, 2);
    if (!object) return 0;
    const PVector3 point = VectorArgument(state, 3);
    const PVector3 along = VectorArgument(state, 6);
    const PMatrix& world = object->GetWorld();
    const PVector3 from = Vec3TransformCoord(point, world);
    const PVector3 to = Vec3TransformCoord(point + along, world);
    const PVector3 ground = Vec3Normalize({to.x - from.x, to.y - from.y, 0.0f});
    SpawnAsScript(std::string(name, length), {from.x, from.y, 0.0f}, ground);
    return 0;
}

int ScriptSetBonus(lua_State* state) {
    const CPGameData* data = GetGameData();
    const int32_t index = IntArgument(state, 3);
    if (!data || index < 0 || static_cast<size_t>(index) >= data->checkPoints.size()) return 0;
    const SPCheckPointInfo& point = data->checkPoints[static_cast<size_t>(index)];
    const std::string name = DrawBonus(point.bonusChance, data->bonusChanceFactor, point.bonusBands);
    // An upgrade is dropped only while something is left to upgrade.
    if (name.empty() || (name == "laser_u" && !data->CanUpgradeAll())) return 0;
    const PVector3 place{FiniteArgument(state, 1), FiniteArgument(state, 2), 0.0f};
    SpawnAsScript(name, place, place);
    return 0;
}

int ScriptSetBonus2(lua_State* state) {
    const PVector3 place{FiniteArgument(state, 1), FiniteArgument(state, 2), 0.0f};
    const char* name = lua_tostring(state, 3);
    if (name) SpawnAsScript(name, place, place);
    return 0;
}

int ScriptSmartBomb(lua_State*) {
    CPGameData* data = GetGameData();
    CPLevel* level = GetLevel();
    if (!data || !level || !level->playerCar || data->committedSetup.superWeaponCount <= 0) return 0;
    const PVector3 heading{std::cos(level->playerHeading), std::sin(level->playerHeading), 0.0f};
    SpawnAsScript(data->committedSetup.superWeapon, level->playerCar->GetPosition(), heading);
    --data->committedSetup.superWeaponCount;
    if (CPScriptManager* scripts = GetScriptManager()) {
        scripts->SendCommandByName("gamemenu", "update_game_interface", "");
    }
    return 0;
}
