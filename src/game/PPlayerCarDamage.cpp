// The player car's damage and death.
#include <cmath>

#include "Sound/NSound.h"
#include "game/PGameData.h"
#include "game/PPlayerCar.h"
#include "physics/PPhysicData.h"
#include "physics/PPhysics.h"
#include "script/PScriptManager.h"
#include "weapons/PWeaponsSystem.h"

namespace {

constexpr float kCriticalHealth = 20.0f;
constexpr PVector3 kDeathEffectOffset{0.0f, 0.0f, 1.5f};
constexpr PVector3 kDeathEffectDirection{0.0f, 0.0f, 10.0f};

void SendByName(const char* name, const char* command) {
    if (CPScriptManager* scripts = GetScriptManager()) scripts->SendCommandByName(name, command, "");
}

}  // namespace

bool CPPlayerCar::ApplyDamage(float amount) {
    const CPGameData* data = GetGameData();
    const float damage = amount * (data ? data->playerDamageFactor : 1.0f);
    if (std::isnan(damage)) return health >= 0.0f;
    if (health > kCriticalHealth && health - damage <= kCriticalHealth) SendByName("main", "say_critical");
    health -= damage;
    if (health >= 0.0f) {
        SendByName("gamemenu", "update_game_interface");
        return true;
    }
    health = 0.0f;
    SendByName("gamemenu", "update_game_interface");
    if (!deathReported) {
        deathReported = true;
        if (CPScriptManager* scripts = GetScriptManager()) scripts->SendCommandByCategory("main", "player_dead", "");
    }
    return false;
}

void CPPlayerCar::Kill() {
    if (engineSound) engineSound->Stop();
    dead = true;
    SetVisible(false);
    SetCollision(false);
    if (const TPtr<CPPhysicData>& physicData = GetPhysicData()) physicData->RemoveFromWorld();
    if (CPPhysics* physics = GetPhysics()) physics->DeactivateObject(TPtr<CPGameObject>(this));
    if (CPWeaponsSystem* weapons = GetWeaponsSystem()) {
        weapons->Spawn("player_death", GetPosition() + kDeathEffectOffset, kDeathEffectDirection, -1.0f,
                       CPSmartPointer(), nullptr, false);
    }
    SendByName("level", "death");
}
