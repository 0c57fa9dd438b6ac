#pragma once
#include "weapons/PWeaponObject.h"

class CPPlayerCar;

// "bonus": a pick-up lying in the level until the player's car drives over it (within 4 units
// horizontally) while it is of use, or until its lifetime runs out. Placing it, its expiry and
// its pick-up each spawn an effect; the pick-up tells the script "gamemenu" ("mission_text2"),
// and the bonus's effect follows in the next frame:
//   "time"    slow motion: the time scale and the sounds' rate fall to 0.5 within 2 s, hold
//             until 8 s and are back at 1 by 10 s (only while no slow motion runs);
//   "money"   refills the mine store (while the car has a mine layer that is not full);
//   "armor"   100 health, up to the car's maximum (while the car is not at full health);
//   "super"   one more super-weapon charge, up to 99;
//   "laser_u" one weapon upgrade (while the current slot or the super weapon can take one).
// Slow motion cut short by a level stop (the weapons are cleared) puts time and sounds back at
// their own rate.
//
// Fields: 0 model (the description "<model>.rdf"), 1 appear effect, 2 expire effect, 3 pick-up
// effect, 4 lifetime (seconds), 5 kind, last the sound. Refused: a kind other than the five.
class CPBonus : public CPWeaponObject {
public:
    enum Kind : int32_t { kTime = 0, kMoney = 1, kArmor = 2, kSuper = 3, kUpgrade = 4 };
    enum SlowMotion : int32_t { kSlowing = 0, kSlow = 1, kSpeeding = 2 };
    // The car takes the bonus from closer than this, measured over the ground.
    static constexpr float kReach = 4.0f;
    static constexpr float kArmorRepair = 100.0f;
    static constexpr int32_t kMaxSuperCharges = 99;

    explicit CPBonus(const std::string& name) : CPWeaponObject(name) {}

    TPtr<CPWeaponObject> Clone() override;
    bool Update() override;
    bool SetParams(const WeaponFields& fields) override;
    void Launch(const PVector3& position, const PVector3& direction, float damage, CPSmartPointer source, void* extra,
                bool super) override;
    void AppendSpawnedNames(std::vector<std::string>& names) const override;
    void Retire() override;

    // Whether the car can use the bonus now.
    bool IsNeeded(const CPPlayerCar& car) const;

    Kind GetKind() const { return m_kind; }
    bool IsWaiting() const { return m_waiting; }
    float GetTimeFactor() const { return m_timeFactor; }

private:
    bool Wait();
    // Picks the bonus up when the car is over it and needs it.
    void TryPickUp();
    // One frame of the effect; false when it is done.
    bool Apply();
    bool SlowTime();
    static void SetTimeRate(float rate);

    std::string m_appearEffect;
    std::string m_expireEffect;
    std::string m_pickUpEffect;
    float m_lifetime = 0.0f;
    float m_elapsed = 0.0f;
    bool m_waiting = false;
    SlowMotion m_phase = kSlowing;
    float m_timeFactor = 1.0f;
    Kind m_kind = kTime;
};
