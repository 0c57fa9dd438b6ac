#include "game/PPlayerCar.h"

#include <algorithm>

#include "Sound/NAudio.h"
#include "Sound/NSound.h"
#include "core/PGlobalTimer.h"
#include "game/PGameData.h"
#include "physics/PPhysics.h"
#include "script/PScriptManager.h"

namespace {

void SendToInterface(const char* command, const char* params) {
    if (CPScriptManager* scripts = GetScriptManager()) scripts->SendCommandByName("gamemenu", command, params);
}

}  // namespace

CPPlayerCar::CPPlayerCar() : CPGameObject("PLAYER") {
    if (CNAudio* audio = GetAudio()) engineSound = audio->GetSound("motor_high");
}

CPPlayerCar::~CPPlayerCar() = default;

void CPPlayerCar::SelectFirstWeapon() {
    currentWeapon = -1;
    if (const CPGameData* data = GetGameData()) {
        const auto& weapons = data->committedSetup.weapons;
        const auto named = std::find_if(weapons.begin(), weapons.end(), [](const std::string& w) { return !w.empty(); });
        if (named != weapons.end()) currentWeapon = static_cast<int32_t>(named - weapons.begin());
    }
    MountWeapons();
}

void CPPlayerCar::SetControls(float newThrottle, float newSteering) {
    steering = newSteering;
    const bool wasRunning = throttle != 0.0f;
    const bool runs = newThrottle != 0.0f;
    throttle = newThrottle;
    if (wasRunning == runs) return;
    if (engineSound) engineSound->Stop();
    if (runs) restartEngineSound = true;
}

void CPPlayerCar::Update() {
    if (dead) return;
    UpdateEngineTemperature(g_frameDelta);
    Drive();
    StartEngineSound();
}

void CPPlayerCar::UpdateEngineTemperature(float frameDelta) {
    const float before = engineTemperature;
    if (throttle != 0.0f) {
        engineTemperature = std::min(engineTemperature + frameDelta * engineInfo.heatRate, 1.0f);
    } else {
        engineTemperature = std::max(engineTemperature - frameDelta * engineInfo.coolRate, 0.0f);
    }
    if (before < kHotTemperature && engineTemperature >= kHotTemperature) SendToInterface("engine_temp", "1");
    if (before >= kHotTemperature && engineTemperature < kHotTemperature) SendToInterface("engine_temp", "0");
}

void CPPlayerCar::Drive() {
    CPPhysics* physics = GetPhysics();
    if (!physics) return;
    const float share = engineTemperature >= 1.0f ? kOverheatedThrottle : 1.0f;
    physics->SetCarControl(TPtr<CPGameObject>(this), throttle * share, steering);
}

void CPPlayerCar::StartEngineSound() {
    if (!restartEngineSound) return;
    if (engineSound) engineSound->Play(0, CNSound::kPlayLooping);
    restartEngineSound = false;
}
