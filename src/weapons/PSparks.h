#pragma once
#include "weapons/PWeaponObject.h"

// "sparks": a burst of particles thrown in a cone about the launch direction, all at launch; the
// object itself finishes on its first update and is never drawn. Fields: 0 particle template,
// 1 count, 2 size, 3 speed, 4 cone half-angle (degrees), 5 fade (non-zero integer), 6 lifetime,
// last the sound. Refused: a count outside 0 to kMaxLaunchParticles.
class CPSparks : public CPWeaponObject {
public:
    explicit CPSparks(const std::string& name) : CPWeaponObject(name) {}

    TPtr<CPWeaponObject> Clone() override;
    bool Update() override { return false; }
    bool SetParams(const WeaponFields& fields) override;
    void Launch(const PVector3& position, const PVector3& direction, float damage, CPSmartPointer source, void* extra,
                bool super) override;

private:
    std::string m_template;
    int32_t m_count = 0;
    float m_size = 0.0f;
    float m_speed = 0.0f;
    float m_spread = 0.0f;
    bool m_fade = false;
    float m_lifetime = 0.0f;
};
