#pragma once
#include <array>
#include <cstdint>
#include <string>
#include <unordered_set>

#include "Render/PGameObject.h"
#include "core/PSmartPointer.h"
#include "game/PItemInfo.h"
#include "math/PVector3.h"

class CNSound;
class CPRenderObject;

// The scene object of the player's car, named "PLAYER". The level loader copies the car model
// into it, gives it to the physics world as a car and equips it from the committed set-up
// (ApplyLoadout). Every frame the level's update calls Update, which runs the engine
// temperature, drives the physics car with the throttle and steering that the scripts set
// (SetCarParams), fires the mine layer, refills the current magazine, restores health, pays the
// money income and keeps the script "gamemenu" informed. It keeps the base object's GetSize and
// GetClassName.
//
// Not done yet: mounting, aiming and firing the weapon (MountWeapons, SetWeaponPos) with its
// muzzle flashes and the drawn laser beam; the mine layer's rocket spawns nothing until the
// weapons system has prototypes.
class CPPlayerCar : public CPGameObject {
public:
    // From this temperature on the interface shows a hot engine.
    static constexpr float kHotTemperature = 0.8f;
    // An engine at full temperature gives this share of the throttle.
    static constexpr float kOverheatedThrottle = 0.4f;
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
    // Mounts the weapon of the current slot. Does nothing yet.
    void MountWeapons();
    // Aims the weapon at the point (and object), draws the laser, fires. Does nothing yet.
    void SetWeaponPos(const PVector3& aim, const TPtr<CPGameObject>& target);
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
    float steering = 0.0f;
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
    // Objects the flame weapon touched since its last tick.
    std::unordered_set<CPGameObject*> burningObjects;
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

private:
    void LoadWeaponSounds();
    void BuildLaser();
    void ApplyEquipment(const std::string& name);
    void ShowBumper(const std::string& name);
    void UpdateEngineTemperature(float frameDelta);
    void Drive();
    // Each returns whether the interface needs an update.
    bool UpdateMineLayer(float frameDelta);
    bool RefillMagazine(float frameDelta);
    void UpdateFlash(float frameDelta);
    void StartEngineSound();
    void Repair(float frameDelta);
    void EarnMoney(float frameDelta);
};
