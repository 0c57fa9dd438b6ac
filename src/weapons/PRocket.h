#pragma once
#include "weapons/PWeaponObject.h"

// What both rockets read and share: the model, the owner, speed and damage, the explosion they
// burst into and their smoke trail.
//
// Fields after the type key: 1 model, 2 owner tag, 3 speed, 4 damage, 5 explosion, 6 smoke
// template, 7 puff size, 8 puff life, 9 smoke interval (rocket-clock seconds), 10 look-ahead,
// last the sound. Refused: a speed that is not positive.
class CPRocketBase : public CPWeaponObject {
public:
    // The rocket clock runs at this many times the frame delta.
    static constexpr float kClockRate = 2.0f;
    // The most smoke puffs one frame emits; the trail skips what it could not emit.
    static constexpr int32_t kMaxPuffsPerFrame = 16;

    explicit CPRocketBase(const std::string& name) : CPWeaponObject(name) {}

    bool SetParams(const WeaponFields& fields) override;
    void AppendSpawnedNames(std::vector<std::string>& names) const override { names.push_back(m_explosion); }

    float GetRocketTime() const { return m_rocketTime; }
    float GetDamage() const { return m_damage; }

protected:
    void CopyRocketTo(CPRocketBase& target);
    // Damages the hit owner silently and bursts at the point.
    void Strike(const SPRayQuery& query, const PVector3& burstAt, const PVector3& burstDirection);
    void Burst(const PVector3& at, const PVector3& direction);
    // The segment test of the rocket's owner.
    bool CrossRay(SPRayQuery& query, bool enemies);
    void EmitPuff(const PVector3& position);

    float m_speed = 0.0f;
    float m_damage = 0.0f;
    std::string m_explosion;
    bool m_playerRocket = true;
    std::string m_smoke;
    float m_puffSize = 0.0f;
    float m_puffLife = 0.0f;
    float m_lookAhead = 0.0f;
    float m_rocketTime = 0.0f;
    float m_smokeInterval = 0.0f;
    float m_smokeTime = 0.0f;
};

// "rocket": a ballistic rocket. The z of its launch direction is its elevation in radians, the
// horizontal part its heading (+y when it has none); it flies a parabola whose heights count
// from zero and bursts where its ray meets something or where it falls to height zero.
class CPRocket : public CPRocketBase {
public:
    static constexpr float kHalfGravity = 4.9f;
    // Puffs below this height are not emitted.
    static constexpr float kLowestPuff = 2.0f;

    explicit CPRocket(const std::string& name) : CPRocketBase(name) {}

    TPtr<CPWeaponObject> Clone() override;
    bool Update() override;
    void Launch(const PVector3& position, const PVector3& direction, float damage, CPSmartPointer source, void* extra,
                bool super) override;

private:
    PVector3 PathAt(float time) const;
    void Smoke();

    float m_verticalSpeed = 0.0f;
    float m_horizontalSpeed = 0.0f;
};

// "s_rocket": a seeking rocket that flies straight, a player's one turning toward the nearest
// living enemy within 45 degrees ahead; it vanishes without a burst past 90 units.
class CPSRocket : public CPRocketBase {
public:
    static constexpr float kRange = 90.0f;

    explicit CPSRocket(const std::string& name) : CPRocketBase(name) {}

    TPtr<CPWeaponObject> Clone() override;
    bool Update() override;
    void Launch(const PVector3& position, const PVector3& direction, float damage, CPSmartPointer source, void* extra,
                bool super) override;

    const TPtr<CPGameObject>& GetTarget() const { return m_target; }

private:
    void ChooseTarget();
    void Steer();
    void Smoke(const PVector3& from, const PVector3& to);

    float m_travelled = 0.0f;
    TPtr<CPGameObject> m_target;
    std::vector<TPtr<CPGameObject>> m_wedge;
};
