// The player car's weapon: mounting it, choosing the slot, aiming, the laser sight, firing each
// kind of weapon, and the flame weapon's burning.
#include <algorithm>
#include <cmath>

#include "Render/PParticle.h"
#include "Render/PParticleSpawnInfo.h"
#include "Render/PParticlesManager.h"
#include "Render/PRender.h"
#include "Render/PRenderBlock.h"
#include "Render/PRenderObject.h"
#include "Sound/NAudio.h"
#include "Sound/NSound.h"
#include "core/GeometryHelpers.h"
#include "core/PGlobalTimer.h"
#include "core/PLog.h"
#include "game/PGameData.h"
#include "game/PLevel.h"
#include "game/PPlayerCar.h"
#include "math/PMathConstants.h"
#include "math/PMatrix.h"
#include "physics/PCar.h"
#include "physics/PPhysicData.h"
#include "platform/Random.h"
#include "script/PScriptManager.h"
#include "weapons/PWeaponsSystem.h"
#include "weapons/WeaponMath.h"
#include "weapons/WeaponQuad.h"
#include "weapons/WeaponWorld.h"

namespace {

// How each kind fires (FireKind).
enum WeaponKind : int32_t {
    kLightGun = 0,
    kTwinLightGun = 1,
    kHeavyGun = 2,
    kHeavyGun2 = 3,
    kHeavyGun3 = 4,
    kRocketLauncher = 5,
    kRocketLauncher2 = 6,
    kRocketLauncher3 = 7,
    kLobbingLauncher = 8,
    kPlasma = 9,
    kPlasma2 = 10,
    kPlasma3 = 11,
    kShotgun = 12,
    kGauss = 13,
    kFlame = 14,
    kFiresNothing = 15,
};

struct SPWeaponKind {
    const char* item;
    WeaponKind kind;
    // The child of the car model that shows the weapon.
    const char* model;
};

// By item name. The item "firethrower" and its upgrades fire plasma; "plasma" is the flame.
constexpr SPWeaponKind kWeaponKinds[] = {
    {"lgun", kLightGun, "lgun"},
    {"ssrlauncher", kRocketLauncher, "ssrlauncher"},
    {"ssrlauncher2", kRocketLauncher2, "ssrlauncher"},
    {"ssrlauncher3", kRocketLauncher3, "ssrlauncher"},
    {"firethrower", kPlasma, "firethrower"},
    {"firethrower2", kPlasma2, "firethrower"},
    {"firethrower3", kPlasma3, "firethrower"},
    {"lgun2x", kTwinLightGun, "lgun2x"},
    {"hmgun", kHeavyGun, "hmgun"},
    {"hmgun2", kHeavyGun2, "hmgun"},
    {"hmgun3", kHeavyGun3, "hmgun"},
    {"shotgun", kShotgun, "shotgun"},
    {"mgun", kLightGun, "mgun"},
    {"mgun2x", kLightGun, "mgun2x"},
    {"gauss", kGauss, "gauss"},
    {"rlauncher", kLobbingLauncher, "rlauncher"},
    {"autoshotgun", kShotgun, "autoshotgun"},
    {"plasma", kFlame, "plasma"},
};

// The car's weapon sounds, as CPPlayerCar::ApplyLoadout loads them.
enum WeaponSound : int32_t {
    kFlameSound = 0,
    kRocketSound2 = 1,
    kRocketSound3 = 2,
    kGunSound1 = 3,
    kGunSound2 = 4,
    kGunSound3 = 5,
    kPlasmaSound1 = 6,
    kPlasmaSound2 = 7,
    kPlasmaSound3 = 8,
};

// The weapon and the car face their -y axis.
constexpr PVector3 kForward{0.0f, -1.0f, 0.0f};
constexpr PVector3 kUp{0.0f, 1.0f, 0.0f};
constexpr float kFlashTime = 0.1f;
constexpr float kFlameTickTime = 0.2f;
// A frame longer than this many ticks burns no more often.
constexpr int32_t kMaxFlameTicks = 25;
constexpr float kBarrelSpin = 10.5f;
// A thrown shot flies at this speed under this gravity.
constexpr float kThrowSpeed = 17.0f;
constexpr float kGravity = 9.8f;
constexpr float kLaserLength = 90.0f;
constexpr float kLaserHalfWidth = 0.05f;
// Machine-gun tracers leave this far along their own direction from the flash.
constexpr float kTracerLead = 1.5f;
constexpr float kGunSpread = 0.1f;
constexpr float kShotgunSpread = 0.4f;
// The shotgun fires this much below the aim.
constexpr float kShotgunDrop = -0.2f;
// One shotgun shot throws at most this many pellets, however many its record asks for.
constexpr int32_t kMaxPellets = 32;
constexpr float kFlameSpeed = 25.0f;
// A flame particle that hit something is given this age, which ends it.
constexpr float kSpentFlameAge = 1000.0f;

const SPWeaponKind* FindKind(const std::string& item) {
    for (const SPWeaponKind& kind : kWeaponKinds) {
        if (item == kind.item) return &kind;
    }
    return nullptr;
}

PVector3 WorldPosition(const CPGameObject& object) {
    const PMatrix& world = object.GetWorld();
    return {world.m[3][0], world.m[3][1], world.m[3][2]};
}

// The unit of the vector's ground part; the fallback's when the vector has none.
PVector3 GroundUnit(const PVector3& vector, const PVector3& fallback) {
    const float length = std::hypot(vector.x, vector.y);
    if (length > 0.0f) return {vector.x / length, vector.y / length, 0.0f};
    return fallback;
}

// A shot direction at a random angle within spread of the direction turnUp brings (0, 1, 0) to.
PVector3 ConeShot(const PQuaternion& turnUp, float spread) {
    const float tilt = platform::RandUnit();
    const float azimuth = platform::RandUnit();
    const PVector3 tilted = Vec3TransformNormal(kUp, MatrixRotationYawPitchRoll(2.0f * kPi * azimuth, 0.0f, spread * tilt));
    return Rotate(tilted, turnUp);
}

void SendToInterface(const char* command) {
    if (CPScriptManager* scripts = GetScriptManager()) scripts->SendCommandByName("gamemenu", command, "");
}

}  // namespace

void CPPlayerCar::SelectPrevWeapon() { StepWeapon(-1); }

void CPPlayerCar::SelectNextWeapon() { StepWeapon(1); }

void CPPlayerCar::StepWeapon(int32_t step) {
    const int32_t old = currentWeapon;
    const CPGameData* data = GetGameData();
    const auto* weapons = data ? &data->committedSetup.weapons : nullptr;
    const bool armed = weapons && std::any_of(weapons->begin(), weapons->end(), [](const std::string& w) { return !w.empty(); });
    if (!armed) {
        currentWeapon = -1;
    } else {
        int32_t slot = currentWeapon;
        do {
            slot += step;
            if (slot < 0) slot = kWeaponSlotCount - 1;
            if (slot >= kWeaponSlotCount) slot = 0;
        } while ((*weapons)[static_cast<size_t>(slot)].empty());
        currentWeapon = slot;
    }
    if (CNAudio* audio = GetAudio()) audio->PlaySoundByName(currentWeapon == old ? "undo_weapon" : "change_weapon", false);
    MountWeapons();
}

void CPPlayerCar::MountWeapons() {
    if (dead) return;
    if (weaponModel) weaponModel->SetVisible(false);
    HideWeaponModels();
    const CPGameData* data = GetGameData();
    if (currentWeapon < 0 || currentWeapon >= kWeaponSlotCount || !data) {
        weaponModel = nullptr;
    } else {
        currentWeaponName = data->committedSetup.weapons[static_cast<size_t>(currentWeapon)];
        const SPWeaponKind* kind = FindKind(currentWeaponName);
        const std::string model = kind ? kind->model : currentWeaponName;
        weaponModel = FindChild(model);
        if (weaponModel) weaponModel->SetVisible(true);
        const CPWeaponInfo* info = data->FindWeaponInfo(currentWeaponName);
        if (!info) GetLog()->Print(0, "The car's weapon %s has no record; it does not fire\n", currentWeaponName.c_str());
        weaponInfo = info ? *info : CPWeaponInfo{};
        FindFlashes(model);
        weaponKind = kind ? kind->kind : kFiresNothing;
    }
    SetWeaponPos(aimPoint, nullptr);
}

// The car model carries every weapon; only the mounted one shows.
void CPPlayerCar::HideWeaponModels() {
    for (const SPWeaponKind& kind : kWeaponKinds) {
        if (const TPtr<CPGameObject> model = FindChild(kind.model)) model->SetVisible(false);
    }
}

void CPPlayerCar::FindFlashes(const std::string& model) {
    const std::string first = "flare_" + model;
    for (int32_t i = 0; i < kFlashCount; ++i) {
        flashes[static_cast<size_t>(i)] = FindChild(i == 0 ? first : first + "_0" + std::to_string(i));
        if (flashes[static_cast<size_t>(i)]) flashes[static_cast<size_t>(i)]->SetVisible(false);
    }
    flashIndex = kFlashCount - 1;
    flashVisible = false;
}

void CPPlayerCar::SetFireTrigger(bool held) {
    fireTrigger = held && currentWeapon >= 0 && !reloading;
    if (fireTrigger && weaponKind == kFlame) flameTickTimer = 0.0f;
}

void CPPlayerCar::SetMineTrigger(bool held) { mineTrigger = held && hasMineLayer; }

void CPPlayerCar::SetWeaponPos(const PVector3& aim, const TPtr<CPGameObject>& target) {
    if (dead) return;
    aimPoint = aim;
    if (!weaponModel) return;
    const float dt = g_frameDelta;
    BurnTouchedObjects(dt);
    SpinBarrel(dt);
    bool hasTarget = false;
    PVector3 aimVector = Turn(aim, target.Get(), hasTarget);
    if (!hasTarget) aimVector.z = 0.0f;
    aimDirection = aimVector;
    DrawLaser(aimVector);
    PullTriggerOnce(aimVector);
}

// The flame's ticks fall every kFlameTickTime of frame time; each burns what the flame touched
// since the last call. The touched set is emptied on every call, whatever the weapon.
void CPPlayerCar::BurnTouchedObjects(float frameDelta) {
    if (weaponKind == kFlame) {
        flameTickTimer -= frameDelta;
        for (int32_t ticks = 0; flameTickTimer <= 0.0f; ++ticks) {
            if (ticks == kMaxFlameTicks) {
                flameTickTimer = kFlameTickTime;
                break;
            }
            for (const TPtr<CPGameObject>& object : burningObjects) {
                const PVector3& at = object->GetPosition();
                object->Damage(at, at - GetPosition(), weaponInfo.damage, false, false, false);
                object->Explode(1);
            }
            flameTickTimer += kFlameTickTime;
        }
    }
    burningObjects.clear();
}

void CPPlayerCar::SpinBarrel(float frameDelta) {
    if (!fireTrigger || (weaponKind != kHeavyGun && weaponKind != kHeavyGun2 && weaponKind != kHeavyGun3)) return;
    barrelAngle += frameDelta * kBarrelSpin;
    if (const TPtr<CPGameObject> barrel = weaponModel->GetChild("stvol")) {
        barrel->SetRotation(QuaternionRotationAxis(kUp, barrelAngle));
    }
}

PVector3 CPPlayerCar::Turn(const PVector3& aim, const CPGameObject* target, bool& hasTarget) {
    const CPPhysicData* physics = target ? target->GetPhysicData().Get() : nullptr;
    hasTarget = physics && (physics->rigidBody || physics->animatedBody);
    const PMatrix& world = GetWorld();
    const PVector3 mount = Vec3TransformCoord(weaponModel->GetPosition(), world);
    const PVector3 ahead = GroundUnit(Vec3TransformNormal(kForward, world), kForward);
    const float height = hasTarget ? target->GetPartBounds().centre.z : aim.z;
    const PVector3 aimVector{aim.x - mount.x, aim.y - mount.y, height - mount.z};

    // Straight above or below the mount the weapon keeps facing ahead.
    const PVector3 toward = GroundUnit(aimVector, ahead);
    float yaw = ClampedAcos(toward.x * ahead.x + toward.y * ahead.y);
    if (toward.x * ahead.y - toward.y * ahead.x > 0.0f) yaw = -yaw;
    // The steeper of the two lobs that land at the ground distance.
    const float distance = std::hypot(aimVector.x, aimVector.y);
    aimElevation = kPi / 2.0f - ClampedAsin(std::min(1.0f, kGravity * distance / (kThrowSpeed * kThrowSpeed))) / 2.0f;

    const PQuaternion rotation = weaponKind == kLobbingLauncher
                                     ? QuaternionRotationMatrix(MatrixRotationX(-aimElevation) * MatrixRotationZ(yaw))
                                     : QuaternionRotationYawPitchRoll(0.0f, 0.0f, yaw);
    weaponModel->SetRotation(rotation);
    weaponModel->UpdateTransform();
    return aimVector;
}

// A beam along the aim's ground direction from the shown flash, turned to face the eye. It is
// drawn only in frames that aim.
void CPPlayerCar::DrawLaser(const PVector3& aimVector) {
    if (!laserSight || !laserObject || !laserRenderObject) return;
    const CPGameObject* flash = ShownFlash();
    const PVector3 start = WorldPosition(flash ? *flash : *weaponModel);
    const PVector3 ahead = GroundUnit(Vec3TransformNormal(kForward, GetWorld()), kForward);
    const PVector3 end = start + GroundUnit(aimVector, ahead) * kLaserLength;
    PVector3 across = Vec3Normalize(Vec3Cross(end - start, GetWeaponWorld().GetEye() - start));
    // An eye on the beam's line sees it edge on whichever way it lies.
    if (Vec3LengthSq(across) == 0.0f) across = {0.0f, 0.0f, 1.0f};
    across = across * kLaserHalfWidth;
    PlaceQuad(*laserRenderObject, *laserObject, {start + across, end + across, end - across, start - across});
    CPRender* render = GetRender();
    if (const TPtr<CPRenderBlock> block = render ? render->GetRenderBlock() : nullptr) block->AddObjectTree(laserObject);
}

// The fire gate: a shot when the trigger is held, the magazine is not refilling, the cooldown has
// run out and the magazine holds the shot's cost.
void CPPlayerCar::PullTriggerOnce(const PVector3& aimVector) {
    if (reloading || !fireTrigger || fireCooldown >= 0.0f) return;
    if (currentWeapon < 0 || currentWeapon >= kWeaponSlotCount) return;
    const float magazineSize = static_cast<float>(weaponInfo.capacity) * magazineFactor;
    const float rate = weaponInfo.fireRate * fireRateFactor;
    if (!(magazineSize > 0.0f) || !(rate > 0.0f)) return;
    float& fill = magazine[static_cast<size_t>(currentWeapon)];
    const float cost = static_cast<float>(weaponInfo.shotCost) / magazineSize;
    const float after = fill - cost;
    if (fill >= cost) {
        const PVector3 muzzle = ShowNextFlash();
        if (weaponKind != kFiresNothing) {
            const PVector3 ahead = Vec3TransformNormal(kForward, GetWorld());
            const float length = Vec3Length(aimVector);
            FireKind(muzzle, length > 0.0f ? aimVector / length : ahead);
            fireCooldown = 1.0f / rate;
            fill = after;
        }
    }
    if (after < cost) reloading = true;
    SendToInterface("update_game_interface");
}

PVector3 CPPlayerCar::ShowNextFlash() {
    if (CPGameObject* shown = ShownFlash()) shown->SetVisible(false);
    flashIndex = (flashIndex + 1) % kFlashCount;
    flashTimer = kFlashTime;
    flashVisible = true;
    CPGameObject* flash = ShownFlash();
    if (!flash) return WorldPosition(*weaponModel);
    flash->SetVisible(true);
    return WorldPosition(*flash);
}

CPGameObject* CPPlayerCar::ShownFlash() const {
    if (flashIndex < 0 || flashIndex >= kFlashCount) return nullptr;
    return flashes[static_cast<size_t>(flashIndex)].Get();
}

void CPPlayerCar::FireKind(const PVector3& muzzle, const PVector3& aim) {
    const TPtr<CPCar> physicsCar = GetCar();
    shotSpeed = physicsCar ? physicsCar->speed : 0.0f;
    const float damage = weaponInfo.damage;
    switch (static_cast<WeaponKind>(weaponKind)) {
    case kLightGun:
    case kTwinLightGun:
        Shoot("trasser11", muzzle, aim, damage, weaponModel, false);
        EjectCasing(*weaponModel);
        break;
    case kHeavyGun: FireTracers("trasser12", 2, false, kGunSound1, muzzle, aim); break;
    case kHeavyGun2: FireTracers("trasser14", 3, false, kGunSound2, muzzle, aim); break;
    case kHeavyGun3: FireTracers("trasser15", 3, true, kGunSound3, muzzle, aim); break;
    case kRocketLauncher: Shoot("srocket1", muzzle, aim, -1.0f, weaponModel, false); break;
    case kRocketLauncher2: FireScatteredRockets("srocket1_1", 2, kRocketSound2, muzzle, aim); break;
    case kRocketLauncher3: FireScatteredRockets("srocket1_2", 3, kRocketSound3, muzzle, aim); break;
    case kLobbingLauncher:
        // The rocket reads the third value as its launch elevation.
        Shoot("rocket1", muzzle, {aimDirection.x, aimDirection.y, aimElevation}, damage, weaponModel, false);
        break;
    case kPlasma: FirePlasma("plazma", false, 0.0f, 1.0f, false, kPlasmaSound1); break;
    case kPlasma2: FirePlasma("plazma_2", true, 0.2f, 1.0f, false, kPlasmaSound2); break;
    case kPlasma3: FirePlasma("plazma_3", true, 0.2f, 1.1f, true, kPlasmaSound3); break;
    case kShotgun: FireShotgun(muzzle, aim); break;
    case kGauss: Shoot("gauss1", muzzle, aim, damage, weaponModel, false); break;
    case kFlame: ThrowFlame(muzzle, aim); break;
    case kFiresNothing: break;
    }
}

void CPPlayerCar::FireTracers(const char* prototype, int32_t count, bool super, int32_t sound, const PVector3& muzzle,
                              const PVector3& aim) {
    PlayWeaponSound(sound, true);
    const PQuaternion turnUp = TurnOnto(kUp, aim);
    for (int32_t i = 0; i < count; ++i) {
        const PVector3 direction = ConeShot(turnUp, kGunSpread);
        Shoot(prototype, muzzle + direction * kTracerLead, direction, weaponInfo.damage, weaponModel, super);
    }
}

void CPPlayerCar::FireScatteredRockets(const char* prototype, int32_t count, int32_t sound, const PVector3& muzzle,
                                       const PVector3& aim) {
    for (int32_t i = 0; i < count; ++i) {
        const float first = platform::RandUnit();
        const float second = platform::RandUnit();
        const PVector3 scatter{0.5f * second - 0.25f, 0.5f * first - 0.25f, 0.0f};
        Shoot(prototype, muzzle, aim + scatter * 2.0f, -1.0f, weaponModel, false);
    }
    PlayWeaponSound(sound, false);
}

// The bolts start on the shown flash, in its frame, and ride with it while they charge.
void CPPlayerCar::FirePlasma(const char* prototype, bool twin, float spread, float reach, bool super, int32_t sound) {
    CPGameObject* flash = ShownFlash();
    const CPSmartPointer source(flash ? flash : weaponModel.Get());
    constexpr PVector3 kOnFlash{0.0f, 0.0f, 0.0f};
    if (twin) {
        Shoot(prototype, kOnFlash, {spread, -reach, 0.0f}, weaponInfo.damage, source, super);
        Shoot(prototype, kOnFlash, {-spread, -reach, 0.0f}, weaponInfo.damage, source, super);
    } else {
        Shoot(prototype, kOnFlash, {0.0f, -reach, 0.0f}, weaponInfo.damage, source, super);
    }
    PlayWeaponSound(sound, false);
}

void CPPlayerCar::FireShotgun(const PVector3& muzzle, const PVector3& aim) {
    const PQuaternion turnUp = TurnOnto(kUp, {aim.x, aim.y, kShotgunDrop});
    const int32_t pellets = std::min(weaponInfo.shotCost, kMaxPellets);
    for (int32_t i = 0; i < pellets; ++i) {
        Shoot("trasser13", muzzle, ConeShot(turnUp, kShotgunSpread), weaponInfo.damage, weaponModel, false);
        EjectCasing(*weaponModel);
    }
}

// One flame particle: its damage comes from what it touches (OnFlameParticle).
void CPPlayerCar::ThrowFlame(const PVector3& muzzle, const PVector3& aim) {
    const float lifeDraw = platform::RandUnit();
    const float roll = 0.2f * platform::RandUnit() - 0.1f;
    const float pitch = 0.2f * platform::RandUnit() - 0.1f;
    const float yaw = 0.2f * platform::RandUnit() - 0.1f;
    const PVector3 spray = Vec3TransformNormal(aim, MatrixRotationYawPitchRoll(yaw, pitch, roll));
    const float drive = throttle > 0.0f ? 1.0f : -1.0f;
    const CPLevel* level = GetLevel();
    const float carSpeed = level ? level->playerSpeed : 0.0f;
    if (CPParticlesManager* particles = GetParticlesManager()) {
        CPParticleSpawnInfo flame;
        flame.name = "firethrower";
        flame.position = muzzle;
        flame.velocity = spray * kFlameSpeed + Vec3TransformNormal(kForward, GetWorld()) * (drive * carSpeed);
        flame.life = 0.8f + 0.3f * lifeDraw;
        flame.callback = &CPPlayerCar::OnFlameParticle;
        flame.user = CPSmartPointer(this);
        particles->SpawnEffect(flame);
    }
    PlayWeaponSound(kFlameSound, false);
}

void CPPlayerCar::Shoot(const char* prototype, const PVector3& position, const PVector3& direction, float damage,
                        CPSmartPointer source, bool super) {
    if (CPWeaponsSystem* weapons = GetWeaponsSystem()) {
        weapons->Spawn(prototype, position, direction, damage, std::move(source), &shotSpeed, super);
    }
}

void CPPlayerCar::PlayWeaponSound(int32_t sound, bool rewind) const {
    const TPtr<CNSound>& played = weaponSounds[static_cast<size_t>(sound)];
    if (!played) return;
    if (rewind) played->Rewind();
    played->Play(0, 0);
}

void CPPlayerCar::OnFlameParticle(IPMMObject* owner, SPParticle& particle) {
    auto* car = dynamic_cast<CPPlayerCar*>(owner);
    if (!car || !GetLevel()) return;
    IPWeaponWorld& world = GetWeaponWorld();
    world.QueryObjects(particle.position, particle.size, car->m_flameTouched, false);
    const PVector3 path = particle.position - particle.previousPosition;
    const float length = Vec3Length(path);
    if (length > 0.0f) {
        SPRayQuery query;
        query.skip = car;
        query.origin = particle.previousPosition;
        query.direction = path / length;
        query.distance = length;
        if (world.CrossRay(query, true)) {
            car->AddBurning(query.hitOwner.Get());
            particle.age = kSpentFlameAge;
        }
    }
    for (const TPtr<CPGameObject>& touched : car->m_flameTouched) car->AddBurning(touched.Get());
    car->m_flameTouched.clear();
}

void CPPlayerCar::AddBurning(CPGameObject* object) {
    if (!object || object == this) return;
    const auto same = [object](const TPtr<CPGameObject>& burning) { return burning.Get() == object; };
    if (std::none_of(burningObjects.begin(), burningObjects.end(), same)) burningObjects.emplace_back(object);
}
