#include "scriptapi/PlayerCarFunctions.h"

#include <lua.hpp>

#include <algorithm>
#include <cmath>
#include <string>

#include "Render/PGameObject.h"
#include "game/PLevel.h"
#include "game/PGameData.h"
#include "game/PPlayerCar.h"
#include "physics/PPhysicData.h"
#include "physics/PhysicsConversions.h"
#include "physics/engine/PhysicsRigidBody.h"
#include "script/ScriptHandles.h"
#include "scriptapi/ScriptArguments.h"
#include "scriptapi/ShopFunctions.h"

namespace {

// Jump's impulse is three times its arguments.
constexpr float kJumpImpulseFactor = 3.0f;

}  // namespace

int ScriptSetCarParams(lua_State* state) {
    CPPlayerCar* car = ToObject<CPPlayerCar>(state, 1);
    if (!car) return 0;
    car->SetControls(FiniteArgument(state, 2), FiniteArgument(state, 3));
    return 0;
}

int ScriptSetWeaponPos(lua_State* state) {
    CPLevel* level = GetLevel();
    if (!level) return 0;
    const PVector3 aim{FiniteArgument(state, 1), FiniteArgument(state, 2), FiniteArgument(state, 3)};
    level->SetWeaponPos(aim, TPtr<CPGameObject>(ToObject<CPGameObject>(state, 4)));
    return 0;
}

int ScriptGetPlayerPosition(lua_State* state) {
    const CPLevel* level = GetLevel();
    const bool car = level && level->playerCar;
    lua_pushnumber(state, car ? level->playerCar->GetPosition().x : 0.0f);
    lua_pushnumber(state, car ? level->playerCar->GetPosition().y : 0.0f);
    return 2;
}

// The share of the store one mine takes is shotCost / (capacity × magazine factor); a store
// without a size gets nothing.
int ScriptSetFullMines(lua_State*) {
    const CPLevel* level = GetLevel();
    CPPlayerCar* car = level ? level->GetPlayerCar() : nullptr;
    if (!car) return 0;
    const float storeSize = static_cast<float>(car->mineInfo.capacity) * car->magazineFactor;
    if (!(storeSize > 0.0f)) return 0;
    const float share = static_cast<float>(car->mineInfo.shotCost) / storeSize;
    if (!std::isfinite(share)) return 0;
    car->mineFill = std::min(car->mineFill + 100.0f * share, 1.0f);
    return 0;
}

int ScriptDamagePlayer(lua_State* state) {
    CPPlayerCar* car = ToObject<CPPlayerCar>(state, 1);
    lua_pushboolean(state, car ? car->ApplyDamage(FloatArgument(state, 2)) : true);
    return 1;
}

int ScriptKillPlayer(lua_State* state) {
    if (CPPlayerCar* car = ToObject<CPPlayerCar>(state, 1)) car->Kill();
    return 0;
}

int ScriptPlayerShot(lua_State*) { return 0; }

int ScriptJump(lua_State* state) {
    CPPlayerCar* car = ToObject<CPPlayerCar>(state, 1);
    const CPPhysicData* physicData = car ? car->GetPhysicData().Get() : nullptr;
    if (!physicData || !physicData->rigidBody) return 0;
    PVector3 impulse;
    if (!ReadFiniteArgument(state, 2, impulse.x) || !ReadFiniteArgument(state, 3, impulse.y) ||
        !ReadFiniteArgument(state, 4, impulse.z)) {
        return 0;
    }
    impulse = impulse * kJumpImpulseFactor;
    if (!std::isfinite(impulse.x) || !std::isfinite(impulse.y) || !std::isfinite(impulse.z)) return 0;
    physicData->rigidBody->ApplyImpulse(ToPhysics(impulse), ToPhysics(car->GetPosition()));
    return 0;
}

int ScriptIsRigid(lua_State* state) {
    const CPGameObject* object = ToObject<CPGameObject>(state, 1);
    const CPPhysicData* physicData = object ? object->GetPhysicData().Get() : nullptr;
    lua_pushboolean(state, physicData && physicData->rigidBody);
    return 1;
}

int ScriptFindObject(lua_State* state) {
    size_t length = 0;
    const char* name = luaL_checklstring(state, 2, &length);
    const CPGameObject* object = ToObject<CPGameObject>(state, 1);
    PushHandle(state, object ? object->FindChild(std::string(name, length)).Get() : nullptr);
    return 1;
}

int ScriptGetRealCarInfo(lua_State* state) {
    const CPGameData* data = GetGameData();
    return data ? PushCarSetup(state, data->committedSetup) : 0;
}

int ScriptSetShot(lua_State* state) {
    if (CPPlayerCar* car = ToObject<CPPlayerCar>(state, 1)) car->SetFireTrigger(lua_toboolean(state, 2) != 0);
    return 0;
}

int ScriptSetMineShot(lua_State* state) {
    if (CPPlayerCar* car = ToObject<CPPlayerCar>(state, 1)) car->SetMineTrigger(lua_toboolean(state, 2) != 0);
    return 0;
}

int ScriptSetCurrentWeapon(lua_State* state) {
    size_t length = 0;
    const char* name = luaL_checklstring(state, 2, &length);
    if (CPPlayerCar* car = ToObject<CPPlayerCar>(state, 1)) car->weaponModel = car->FindChild(std::string(name, length));
    return 0;
}

int ScriptSetPrevWeapon(lua_State* state) {
    if (CPPlayerCar* car = ToObject<CPPlayerCar>(state, 1)) car->SelectPrevWeapon();
    return 0;
}

int ScriptSetNextWeapon(lua_State* state) {
    if (CPPlayerCar* car = ToObject<CPPlayerCar>(state, 1)) car->SelectNextWeapon();
    return 0;
}
