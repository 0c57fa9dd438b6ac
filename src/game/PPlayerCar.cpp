#include "game/PPlayerCar.h"

#include <algorithm>
#include <cmath>
#include <string_view>

#include "Render/PMaterialManager.h"
#include "Render/PParticleSpawnInfo.h"
#include "Render/PParticlesManager.h"
#include "Render/PPerspectiveCamera.h"
#include "Render/PRenderObject.h"
#include "Sound/NAudio.h"
#include "Sound/NSound.h"
#include "Sound/NSoundBank.h"
#include "core/PGlobalTimer.h"
#include "core/PLog.h"
#include "core/TextHelpers.h"
#include "game/PGameData.h"
#include "math/PMatrix.h"
#include "physics/PCar.h"
#include "physics/PPhysics.h"
#include "platform/Random.h"
#include "script/PScriptManager.h"
#include "weapons/PWeaponsSystem.h"

namespace {

const char* const kWeaponSoundFiles[CPPlayerCar::kWeaponSoundCount] = {
    "fire_gun_flame.wav", "rocket2.wav", "rocket3.wav", "hmgun1.wav", "hmgun2.wav",
    "hmgun3.wav",         "plazma1.wav", "plazma2.wav", "plazma3.wav"};

constexpr int32_t kLaserLayer = 23;
// Where the mine layer launches, in the car's frame.
constexpr PVector3 kMineLaunchPoint{0.0f, 1.0f, 3.0f};
constexpr float kMineDamage = 20.0f;
// A shell casing: its throw in the gun's frame, its fall and size.
constexpr PVector3 kCasingThrow{-1.0f, 0.0f, 2.0f};
constexpr PVector3 kCasingFall{0.0f, 0.0f, -24.8f};
constexpr float kCasingSize = 0.2f;
// The steering the wheels get at most, and the speed from which they get it.
constexpr float kTopSteering = 0.45f;
constexpr float kFullSteeringSpeed = 5.0f;

// The share of the driver's full steering the wheels get at a speed (units per second). The
// physics car turns by a torque, at a rate near the square of the wheels' angle whatever its
// speed: below kFullSteeringSpeed the angle follows the square root of the speed's share of it,
// so the car drives the same circle at any low speed and never turns in place; from there on
// the turn rate stays that of kTopSteering (full steering at 1 spins the car out).
float SteeringShare(float speed) {
    const float share = speed / kFullSteeringSpeed;
    return share > 0.0f ? kTopSteering * std::sqrt(std::min(share, 1.0f)) : 0.0f;
}

void SendToInterface(std::string_view command, std::string_view params) {
    if (CPScriptManager* scripts = GetScriptManager()) scripts->SendCommandByName("gamemenu", command, params);
}

}  // namespace

CPPlayerCar::CPPlayerCar() : CPGameObject("PLAYER") {
    if (CNAudio* audio = GetAudio()) engineSound = audio->GetSound("motor_high");
}

CPPlayerCar::~CPPlayerCar() = default;

bool CPPlayerCar::ApplyLoadout() {
    LoadWeaponSounds();
    deathReported = false;
    engineTemperature = 0.0f;
    BuildLaser();
    repairRate = 0.0f;
    magazineFactor = 1.0f;
    fireRateFactor = 1.0f;
    rechargeFactor = 1.0f;
    incomeRate = 0.0f;
    g_damageMultiplier = 1.0f;
    laserSight = false;
    CPGameData* data = GetGameData();
    if (!data) return true;
    SPCarSetup& setup = data->committedSetup;
    for (const std::string& equipment : setup.equipment) ApplyEquipment(equipment);
    if (laserSight) laserObject->SetEnabled(true);
    if (!setup.mine.empty()) {
        if (const CPMineInfo* info = data->FindMineInfo(setup.mine)) {
            mineName = setup.mine;
            mineInfo = *info;
            hasMineLayer = true;
            mineFill = 0.1f;
        } else {
            GetLog()->Print(0, "The car's mine %s has no record; no mine layer\n", setup.mine.c_str());
        }
    }
    health = maxHealth = kBaseHealth;
    if (!setup.armor.empty()) {
        if (const SPArmorInfo* info = data->FindArmorInfo(setup.armor)) {
            health = maxHealth = info->value;
        } else {
            GetLog()->Print(0, "The car's armour %s has no record; it is left off\n", setup.armor.c_str());
        }
    }
    if (!setup.bumper.empty()) ShowBumper(setup.bumper);
    if (!setup.engine.empty()) {
        if (const SPEngineInfo* info = data->FindEngineInfo(setup.engine)) {
            engineInfo = *info;
        } else {
            GetLog()->Print(0, "The car's engine %s has no record; it neither heats nor cools\n", setup.engine.c_str());
        }
    }
    if (setup.superWeaponCount < 1) setup.superWeaponCount = 3;
    return true;
}

void CPPlayerCar::LoadWeaponSounds() {
    CNSoundBank* bank = GetSoundBank();
    for (int32_t i = 0; i < kWeaponSoundCount; ++i) {
        weaponSounds[i] = bank ? bank->Load(kWeaponSoundFiles[i], false, false) : nullptr;
    }
}

// One quad; its corners are written when the beam is drawn.
void CPPlayerCar::BuildLaser() {
    laserObject = new CPGameObject("laser");
    laserRenderObject = new CPRenderObject(laserObject.Get());
    laserObject->SetAttachment(CPGameObject::kMesh, laserRenderObject);
    if (CPMaterialManager* materials = GetMaterialManager()) {
        laserRenderObject->SetMaterial(materials->GetMaterial(kLaserLayer, "trasser.fx", {"lazer.tga"}));
    }
    std::vector<SPVertex> vertices(4, SPVertex{});
    const PVector2 corners[4] = {{0.0f, 0.0f}, {1.0f, 0.0f}, {1.0f, 1.0f}, {0.0f, 1.0f}};
    for (int32_t i = 0; i < 4; ++i) vertices[i].tex0 = corners[i];
    laserRenderObject->SetGeometry(std::move(vertices), {0, 1, 2, 0, 2, 3});
    laserObject->SetEnabled(false);
}

void CPPlayerCar::ApplyEquipment(const std::string& name) {
    if (name.empty()) return;
    if (name == "laser") {
        laserSight = CameraZoom < 0.0f;
        return;
    }
    float* effect = name == "repair"         ? &repairRate
                    : name == "bullets"      ? &magazineFactor
                    : name == "firerate"     ? &fireRateFactor
                    : name == "damage"       ? &g_damageMultiplier
                    : name == "regeneration" ? &rechargeFactor
                    : name == "analyzer"     ? &incomeRate
                                             : nullptr;
    if (!effect) return;
    const SPEquipmentInfo* info = GetGameData()->FindEquipmentInfo(name);
    if (!info) {
        GetLog()->Print(0, "The car's equipment %s has no record; it is left off\n", name.c_str());
        return;
    }
    *effect = info->value;
}

void CPPlayerCar::ShowBumper(const std::string& name) {
    if (TPtr<CPGameObject> bumper = GetChild(name == "bamper1" ? "bumper1" : "bumper_thorn")) {
        bumper->SetEnabled(true);
    }
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
    const float dt = g_frameDelta;
    UpdateEngineTemperature(dt);
    fireCooldown -= dt;
    Drive(dt);
    bool interfaceChanged = UpdateMineLayer(dt);
    interfaceChanged = RefillMagazine(dt) || interfaceChanged;
    if (interfaceChanged) SendToInterface("update_game_interface", "");
    UpdateFlash(dt);
    StartEngineSound();
    Repair(dt);
    EarnMoney(dt);
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

void CPPlayerCar::Drive(float frameDelta) {
    CPPhysics* physics = GetPhysics();
    if (!physics) return;
    const float step = kSteeringRate * frameDelta;
    easedSteering = std::clamp(steering, easedSteering - step, easedSteering + step);
    const TPtr<CPCar> car = GetCar();
    const float angle = easedSteering * SteeringShare(car ? car->speed : 0.0f);
    const float share = engineTemperature >= 1.0f ? kOverheatedThrottle : 1.0f;
    physics->SetCarControl(TPtr<CPGameObject>(this), throttle * share, angle);
}

// A mine store without capacity, or a layer without a fire rate, lays nothing.
bool CPPlayerCar::UpdateMineLayer(float frameDelta) {
    if (!hasMineLayer) return false;
    mineShotTimer -= frameDelta;
    if (!mineTrigger || mineShotTimer > 0.0f) return false;
    const float storeSize = static_cast<float>(mineInfo.capacity) * magazineFactor;
    const float rate = mineInfo.fireRate * fireRateFactor;
    if (storeSize <= 0.0f || rate <= 0.0f) return true;
    const float use = static_cast<float>(mineInfo.shotCost) / storeSize;
    if (use > mineFill) return true;
    mineShotTimer = 1.0f / rate;
    mineFill -= use;
    UpdateTransform();
    const PVector3 launch = Vec3TransformCoord(kMineLaunchPoint, GetWorld());
    if (CPWeaponsSystem* weapons = GetWeaponsSystem()) {
        weapons->Spawn("rocket1", launch, {aimDirection.x, aimDirection.y, aimElevation}, kMineDamage,
                       CPSmartPointer(this), &throttle, false);
    }
    return true;
}

// A magazine without capacity counts as full.
bool CPPlayerCar::RefillMagazine(float frameDelta) {
    if (!reloading) return false;
    const int32_t slot = currentWeapon;
    if (slot < 0 || slot >= kWeaponSlotCount || magazine[slot] >= 1.0f) {
        reloading = false;
        return false;
    }
    const float size = static_cast<float>(weaponInfo.capacity) * magazineFactor;
    const float refill = size > 0.0f ? frameDelta * weaponInfo.rechargeRate * rechargeFactor / size : 1.0f;
    magazine[slot] = std::min(magazine[slot] + refill, 1.0f);
    return true;
}

void CPPlayerCar::UpdateFlash(float frameDelta) {
    if (!flashVisible || currentWeapon < 0) return;
    flashTimer -= frameDelta;
    if (flashTimer > 0.0f) return;
    if (flashIndex >= 0 && flashIndex < kFlashCount && flashes[flashIndex]) flashes[flashIndex]->SetVisible(false);
    flashVisible = false;
}

void CPPlayerCar::StartEngineSound() {
    if (!restartEngineSound) return;
    if (engineSound) engineSound->Play(0, CNSound::kPlayLooping);
    restartEngineSound = false;
}

void CPPlayerCar::Repair(float frameDelta) { health = std::min(health + frameDelta * repairRate, maxHealth); }

// "change_money" goes out every frame, also when nothing was earned.
void CPPlayerCar::EarnMoney(float frameDelta) {
    if (CPGameData* data = GetGameData()) data->Earn(frameDelta * incomeRate, 0);
}

void CPPlayerCar::SelectFirstWeapon() {
    currentWeapon = -1;
    if (const CPGameData* data = GetGameData()) {
        const auto& weapons = data->committedSetup.weapons;
        const auto named = std::find_if(weapons.begin(), weapons.end(), [](const std::string& w) { return !w.empty(); });
        if (named != weapons.end()) currentWeapon = static_cast<int32_t>(named - weapons.begin());
    }
    MountWeapons();
}

void CPPlayerCar::EjectCasing(const CPGameObject& gun) {
    const PVector3 throwDirection = Vec3TransformNormal(kCasingThrow, gun.GetWorld());
    const float lifeDraw = platform::RandUnit();
    const float speed = 4.0f + platform::RandUnit();
    CPParticlesManager* particles = GetParticlesManager();
    if (!particles) return;
    CPParticleSpawnInfo casing;
    casing.name = "gilze";
    casing.position = Vec3TransformCoord({0.0f, 0.0f, 0.0f}, gun.GetWorld());
    casing.velocity = throwDirection * speed;
    casing.acceleration = kCasingFall;
    casing.size = kCasingSize;
    casing.life = 1.0f + lifeDraw;
    particles->SpawnEffect(casing);
}
