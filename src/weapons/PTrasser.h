#pragma once
#include "weapons/PWeaponObject.h"

// "trasser": the machine-gun shot, a glowing streak facing the camera between a tail and a head.
// It tests a ray ahead of its head every frame, damages and pushes what it hits and spawns its hit
// effect there; then (or past its range) the tail runs into the head and the shot ends. Launched
// with the super flag it homes in on the nearest enemy within 30 degrees ahead.
//
// Fields after the type key: 1 owner tag ("enemy" or else), 2 speed, 3 damage, 4 half width,
// 5 texture, 6 effect, 7 layer, 8 hit effect, 9 impulse, 10 range (negative: 60), last the sound.
// Refused: speed or half width not positive. A damage given at launch (0 or more) holds for
// that flight alone.
class CPTrasser : public CPWeaponObject {
public:
    enum State : int32_t { kFlying = 0, kStopped = 1 };
    static constexpr float kDefaultRange = 60.0f;

    explicit CPTrasser(const std::string& name) : CPWeaponObject(name) {}

    TPtr<CPWeaponObject> Clone() override;
    bool Update() override;
    bool SetParams(const WeaponFields& fields) override;
    void Launch(const PVector3& position, const PVector3& direction, float damage, CPSmartPointer source, void* extra,
                bool super) override;
    void AppendSpawnedNames(std::vector<std::string>& names) const override { names.push_back(m_hitEffect); }

    State GetState() const { return m_state; }
    const PVector3& GetHead() const { return m_launchPosition; }
    const PVector3& GetTail() const { return m_tail; }
    float GetDamage() const { return m_damage; }

private:
    void Fly();
    void Hit(const SPRayQuery& query);
    // Moves head and tail along the heading; the streak grows by a hundredth of the distance.
    void Advance(float distance);
    void CatchUp();
    void Draw();
    void Home();

    float m_speed = 0.0f;
    // The definition's damage, and that of the current flight.
    float m_definedDamage = 0.0f;
    float m_damage = 0.0f;
    float m_travelled = 0.0f;
    float m_tailDistance = 0.0f;
    float m_streakLength = 0.0f;
    std::string m_hitEffect;
    bool m_playerShot = true;
    PVector3 m_tail{0.0f, 0.0f, 0.0f};
    float m_halfWidth = 0.0f;
    State m_state = kFlying;
    float m_impulse = 0.0f;
    float m_range = kDefaultRange;
    bool m_homing = false;
    std::vector<TPtr<CPGameObject>> m_wedge;
};
