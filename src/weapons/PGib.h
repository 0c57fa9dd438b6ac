#pragma once
#include "weapons/PWeaponObject.h"

// What both pieces of debris share: a model with physics data, thrown into the physics world
// at launch by an impulse of 3 × the launch direction with a little spin, taken out of it again
// when its lifetime has passed (or when the weapons are cleared while it flies). Debris makes no
// sound. Refused: a model without physics data.
class CPDebris : public CPWeaponObject {
public:
    explicit CPDebris(const std::string& name) : CPWeaponObject(name) {}

    void Retire() override { LeaveWorld(); }
    float GetElapsed() const { return m_elapsed; }

protected:
    // Places the piece, enters it into the world and throws it.
    void Throw(const PVector3& position, const PVector3& direction);
    // False once the lifetime has passed (the piece has left the world then).
    bool Age();
    void LeaveWorld();

    float m_lifetime = 0.0f;
    float m_elapsed = 0.0f;
};

// "gib": debris trailing a particle system. Fields after the type key: 1 model, 2 the particle
// value, 3 the particle names ("," separated), 4 lifetime.
class CPGib : public CPDebris {
public:
    explicit CPGib(const std::string& name) : CPDebris(name) {}

    TPtr<CPWeaponObject> Clone() override;
    bool Update() override { return Age(); }
    bool SetParams(const WeaponFields& fields) override;
    void Launch(const PVector3& position, const PVector3& direction, float damage, CPSmartPointer source, void* extra,
                bool super) override;

private:
    std::vector<std::string> m_particleNames;
    float m_particleValue = 0.0f;
};

// "gib1": debris leaving puffs at intervals while above the ground. Fields after the type key:
// 1 model, 2 unused, 3 trail template, 4 puff size, 5 puff life, 6 puff interval, 7 variants,
// 8 lifetime. Refused also: fewer than one variant.
class CPGib1 : public CPDebris {
public:
    explicit CPGib1(const std::string& name) : CPDebris(name) {}

    TPtr<CPWeaponObject> Clone() override;
    bool Update() override;
    bool SetParams(const WeaponFields& fields) override;
    void Launch(const PVector3& position, const PVector3& direction, float damage, CPSmartPointer source, void* extra,
                bool super) override;

private:
    void Puff();

    float m_puffLife = 0.0f;
    float m_puffSize = 0.0f;
    float m_puffInterval = 0.0f;
    int32_t m_variants = 1;
    std::string m_trail;
    float m_puffClock = 0.0f;
};
