#pragma once
#include <array>

#include "platform/gfx/Light.h"
#include "weapons/PWeaponObject.h"

// "emp": a blast model that plays its "exp" animation, damages everything within its radius once
// at launch (no line of fire: walls do not shelter) and lights its surroundings with a strong
// point light for its lifetime, then ends at once. Each object takes (radius - distance) ×
// strength, none at the rim.
//
// Fields: 0 model, 1 damage strength, 2 light colour "r,g,b" (each times 20), 3 radius,
// 4 lifetime (seconds), last the sound.
class CPEmp : public CPWeaponObject {
public:
    explicit CPEmp(const std::string& name) : CPWeaponObject(name) {}

    TPtr<CPWeaponObject> Clone() override;
    bool Update() override;
    bool SetParams(const WeaponFields& fields) override;
    void Launch(const PVector3& position, const PVector3& direction, float damage, CPSmartPointer source, void* extra,
                bool super) override;

    float GetRadius() const { return m_radius; }
    float GetStrength() const { return m_strength; }
    const platform::gfx::Light& GetLight() const { return m_light; }

private:
    void DamageSurroundings();

    float m_strength = 0.0f;
    platform::gfx::Light m_light{};
    float m_elapsed = 0.0f;
    float m_lifetime = 0.0f;
    float m_radius = 0.0f;
    std::vector<TPtr<CPGameObject>> m_found;
};
