#pragma once
#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "Render/PGameObject.h"
#include "core/PSmartPointer.h"
#include "game/PItemInfo.h"
#include "math/PVector3.h"

class CNSound;
class CPRenderObject;
struct SPParticle;

// The scene object of the player's car, named "PLAYER". The level loader copies the car model
// into it, gives it to the physics world as a car and equips it from the committed set-up
// (ApplyLoadout). Every frame the level's update calls Update, which runs the engine
// temperature, drives the physics car with the throttle and steering that the scripts set
// (SetCarParams; the steering eased in and scaled to the speed, see Drive), fires the mine layer, refills the current magazine, restores health, pays the
// money income and keeps the script "gamemenu" informed. It keeps the base object's GetSize and
// GetClassName.
//
// The car carries one weapon at a time, the one of its current slot of the committed set-up: a
// child of the car model named after the weapon (PlayerCarWeapons.cpp), turned toward the aim
// point the scripts give, with four muzzle flashes "flare_<model>", "flare_<model>_01" to "_03".
// Every shot draws on the slot's magazine; a weapon whose record is missing, or gives it no
// capacity or no fire rate, does not fire.
class CPPlayerCar : public CPGameObject {
public:
    // From this temperature on the interface shows a hot engine.
    static constexpr float kHotTemperature = 0.8f;
    // An engine at full temperature gives this share of the throttle.
    static constexpr float kOverheatedThrottle = 0.4f;
    // The wheels follow the driver's steering at this much a second: a full turn of the wheel
    // takes a few tenths of a second.
    static constexpr float kSteeringRate = 1.0f / 0.3f;
    // Health without armour, and before a loadout.
    static constexpr float kBaseHealth = 100.0f;
    // The weapon sounds, in the order the loadout loads them.
    static constexpr int32_t kWeaponSoundCount = 9;
    static constexpr int32_t kWeaponSlotCount = 3;
    static constexpr int32_t kFlashCount = 4;

    // Named "PLAYER", the engine sound the registered sound "motor_high" (empty without audio).
    CPPlayerCar();
    ~CPPlayerCar() override;

    // Equips the car from the game data's committed set-up: weapon sounds, the laser beam, the
    // equipment's effects, the mine layer, health from the armour, the bumper shown and the
    // engine's record; a super-weapon count below 1 becomes 3. Equipment without a record in its
    // table is skipped (logged). Always true.
    bool ApplyLoadout();

    // The driver's input, from the script function SetCarParams. The engine sound stops when
    // the throttle changes between zero and non-zero; from zero to non-zero it is also to start
    // again, looping, at the next Update.
    void SetControls(float throttle, float steering);

    // The per-frame step. Nothing at all while dead.
    void Update();

    // Makes the first slot of the committed set-up that holds a weapon the current one (-1 when
    // none does) and mounts it.
    void SelectFirstWeapon();
    // Steps to the previous or next slot that holds a weapon (wrapping; -1 when none does),
    // plays "undo_weapon" when that is the slot it started from, else "change_weapon", and
    // mounts it.
    void SelectPrevWeapon();
    void SelectNextWeapon();
    // Mounts the weapon of the current slot: shows its model (and hides the others of the car),
    // copies its record, finds its flashes, then aims it at the last aim point. Nothing while dead.
    void MountWeapons();
    // Aims the weapon at the point (at the centre height of the target when the target has a
    // physics body), runs the flame's damage ticks, spins the machine gun's barrel, draws the
    // laser and fires while the trigger is held. Called once a frame by the level.
    void SetWeaponPos(const PVector3& aim, const TPtr<CPGameObject>& target);
    // The triggers, pulled and released by the scripts. The main trigger holds only while a slot
    // is current and the magazine is not refilling; pulled on the flame, it has the flame's first
    // tick come at the next SetWeaponPos. The mine trigger holds only with a mine layer.
    void SetFireTrigger(bool held);
    void SetMineTrigger(bool held);
    // The callback of every flame particle (owner: the car): what the particle touches or passes
    // through, the car's own body excepted, burns at the next flame tick; a particle that hit
    // something ends. Nothing without a level.
    static void OnFlameParticle(IPMMObject* owner, SPParticle& particle);
    // Throws one shell casing from the gun model (the particle effect "gilze").
    void EjectCasing(const CPGameObject& gun);

    // A hit of amount times the player damage factor. Crossing down to 20 health tells "main"
    // ("say_critical"); the interface is told of every hit ("gamemenu", "update_game_interface").
    // Below 0 health stays 0 and the category "main" hears "player_dead" once in the car's life.
    // Returns whether the car is still alive (health not below 0). An amount that is NaN, or a
    // damage factor that makes it one, does nothing and returns whether health is not below 0.
    bool ApplyDamage(float amount);
    // Death: the engine sound stops, the car is dead, hidden, out of ray tests and out of the
    // physics world; "player_death" is spawned 1.5 above it and "level" is told ("death").
    void Kill();

    float flameTickTimer = 0.0f;
    // Time to the mine layer's next shot.
    float mineShotTimer = 0.0f;
    // Fill of the mine store, 0 to 1.
    float mineFill = 0.0f;
    float barrelAngle = 0.0f;
    // The driver's steering, as the scripts set it.
    float steering = 0.0f;
    // The steering on its way to the driver's, at most kSteeringRate a second.
    float easedSteering = 0.0f;
    float throttle = 0.0f;
    // Current weapon slot, -1 for none.
    int32_t currentWeapon = 0;
    std::string currentWeaponName;
    // The current slot's magazine is refilling; no firing meanwhile.
    bool reloading = false;
    // 0 (cold) to 1.
    float engineTemperature = 0.0f;
    TPtr<CPGameObject> weaponModel;
    std::array<TPtr<CPGameObject>, kFlashCount> flashes;
    int32_t flashIndex = 0;
    std::string mineName;
    // Time the shown muzzle flash stays.
    float flashTimer = 0.0f;
    bool flashVisible = false;
    PVector3 aimPoint{0.0f, 0.0f, 0.0f};
    // Fill of each slot's magazine, 0 to 1.
    std::array<float, kWeaponSlotCount> magazine = {1.0f, 1.0f, 1.0f};
    CPWeaponInfo weaponInfo;
    bool mineTrigger = false;
    bool hasMineLayer = false;
    bool fireTrigger = false;
    int32_t weaponKind = 0;
    // Time to the main weapon's next shot.
    float fireCooldown = 0.0f;
    // The committed engine's record: its heat and cool rates drive the temperature.
    SPEngineInfo engineInfo;
    TPtr<CNSound> engineSound;
    std::array<TPtr<CNSound>, kWeaponSoundCount> weaponSounds;
    // The engine sound is to be started at the next Update.
    bool restartEngineSound = false;
    float health = 100000.0f;
    float maxHealth = 100000.0f;
    // Set when the car is killed; the car then does nothing.
    bool dead = false;
    // Objects the flame weapon touched since the last SetWeaponPos, each once.
    std::vector<TPtr<CPGameObject>> burningObjects;
    // Health regained per second.
    float repairRate = 0.0f;
    // Multiply every magazine's capacity, fire rate and refill rate.
    float magazineFactor = 1.0f;
    float fireRateFactor = 1.0f;
    float rechargeFactor = 1.0f;
    // Money earned per second.
    float incomeRate = 0.0f;
    bool laserSight = false;
    TPtr<CPGameObject> laserObject;
    TPtr<CPRenderObject> laserRenderObject;
    // "player_dead" has been sent.
    bool deathReported = false;
    PVector3 aimDirection{0.0f, 0.0f, 0.0f};
    // Lob angle of thrown shots.
    float aimElevation = 0.0f;
    CPMineInfo mineInfo;
    // The physics car's speed when the last shot was fired; the shots get its address.
    float shotSpeed = 0.0f;

private:
    void LoadWeaponSounds();
    void BuildLaser();
    void ApplyEquipment(const std::string& name);
    void ShowBumper(const std::string& name);
    void UpdateEngineTemperature(float frameDelta);
    // Hands the throttle (less on an overheated engine) and the steering to the physics car: the
    // eased steering times the share the car's speed allows (SteeringShare).
    void Drive(float frameDelta);
    // Each returns whether the interface needs an update.
    bool UpdateMineLayer(float frameDelta);
    bool RefillMagazine(float frameDelta);
    void UpdateFlash(float frameDelta);
    void StartEngineSound();
    void Repair(float frameDelta);
    void EarnMoney(float frameDelta);

    // PlayerCarWeapons.cpp
    void HideWeaponModels();
    void FindFlashes(const std::string& model);
    void StepWeapon(int32_t step);
    void BurnTouchedObjects(float frameDelta);
    void SpinBarrel(float frameDelta);
    // Turns the weapon toward the aim and returns the aim vector from the mount.
    PVector3 Turn(const PVector3& aim, const CPGameObject* target, bool& hasTarget);
    void DrawLaser(const PVector3& aimVector);
    void PullTriggerOnce(const PVector3& aimVector);
    // Shows the next flash and returns where it is (the weapon's position without flashes).
    PVector3 ShowNextFlash();
    CPGameObject* ShownFlash() const;
    void FireKind(const PVector3& muzzle, const PVector3& aim);
    void FireTracers(const char* prototype, int32_t count, bool super, int32_t sound, const PVector3& muzzle,
                     const PVector3& aim);
    void FireScatteredRockets(const char* prototype, int32_t count, int32_t sound, const PVector3& muzzle,
                              const PVector3& aim);
    void FirePlasma(const char* prototype, bool twin, float spread, float reach, bool super, int32_t sound);
    void FireShotgun(const PVector3& muzzle, const PVector3& aim);
    void ThrowFlame(const PVector3& muzzle, const PVector3& aim);
    void Shoot(const char* prototype, const PVector3& position, const PVector3& direction, float damage,
               CPSmartPointer source, bool super);
    void PlayWeaponSound(int32_t sound, bool rewind) const;
    void AddBurning(CPGameObject* object);

    // Where a flame particle's touched objects are gathered; kept to spare the allocations.
    std::vector<TPtr<CPGameObject>> m_flameTouched;
};
