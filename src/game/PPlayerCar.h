#pragma once
#include "Render/PGameObject.h"
#include "core/PSmartPointer.h"
#include "game/PItemInfo.h"

class CNSound;

// The scene object of the player's car, named "PLAYER". The level loader copies the car model
// into it and gives it to the physics world as a car; every frame the level's update calls
// Update, which runs the engine temperature and drives the physics car with the throttle and
// steering that the scripts set (SetCarParams). It keeps the base object's GetSize and
// GetClassName.
//
// Not done yet: the weapons (mounting, aiming, firing, magazines and their refill, the muzzle
// flashes, the laser sight), the mine layer, health and its repair, the money income and the
// "gamemenu" updates that go with them, shell casings, and the loadout (ApplyLoadout), which is
// what fills engineInfo: until it exists the engine's heat and cool rates are 0 and the engine
// temperature stays where it is.
class CPPlayerCar : public CPGameObject {
public:
    // From this temperature on the interface shows a hot engine.
    static constexpr float kHotTemperature = 0.8f;
    // An engine at full temperature gives this share of the throttle.
    static constexpr float kOverheatedThrottle = 0.4f;

    // Named "PLAYER", the engine sound the registered sound "motor_high" (empty without audio).
    CPPlayerCar();
    ~CPPlayerCar() override;

    // The driver's input, from the script function SetCarParams. The engine sound stops when
    // the throttle changes between zero and non-zero; from zero to non-zero it is also to start
    // again, looping, at the next Update.
    void SetControls(float throttle, float steering);

    // The current weapon slot becomes the first of the committed set-up's three that names a
    // weapon (-1 when none does), then the weapons are mounted.
    void SelectFirstWeapon();
    // Mounts the weapons of the current slot. Does nothing yet.
    void MountWeapons() {}
    // Where the car's guns aim, and at which object. Does nothing yet.
    void SetWeaponPos(const PVector3& aim, const TPtr<CPGameObject>& target) {}
    // Equips the car from the committed set-up. Does nothing yet.
    void ApplyLoadout() {}

    // The per-frame step: the engine temperature (telling "gamemenu" "engine_temp" "1" when it
    // rises to kHotTemperature, "0" when it falls below), the drive handed to the physics car, and
    // the engine sound started when asked for. Nothing at all while dead.
    void Update();

    float steering = 0.0f;
    float throttle = 0.0f;
    // The weapon slot in use, 0 to 2; -1 for none.
    int32_t currentWeapon = -1;
    // 0 (cold) to 1.
    float engineTemperature = 0.0f;
    // The committed engine's record: its heat and cool rates drive the temperature.
    SPEngineInfo engineInfo;
    TPtr<CNSound> engineSound;
    // The engine sound is to be started at the next Update.
    bool restartEngineSound = false;
    // Set when the car is killed; the car then does nothing.
    bool dead = false;

private:
    void UpdateEngineTemperature(float frameDelta);
    void Drive();
    void StartEngineSound();
};
