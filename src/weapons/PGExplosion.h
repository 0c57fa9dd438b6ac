#pragma once
#include "weapons/PSExplosion.h"

// "g_explosion": the explosion of "s_explosion" with debris points that fly straight out from
// its centre at 2.5 to 5.5 units a second, leaving "gib1" puffs every 0.04 s. Its debris models
// are its first children, drawn with it.
//
// Fields after the type key: 1 the debris models ("," separated, without ".rdf"), then the
// fields of "s_explosion" in their order, the sound last. A model that does not load is left out.
class CPGExplosion : public CPSExplosion {
public:
    static constexpr float kPuffInterval = 0.04f;

    explicit CPGExplosion(const std::string& name) : CPSExplosion(name, 0) {}

    TPtr<CPWeaponObject> Clone() override;
    bool Update() override;
    bool SetParams(const WeaponFields& fields) override;
    void Launch(const PVector3& position, const PVector3& direction, float damage, CPSmartPointer source, void* extra,
                bool super) override;

    size_t GetDebrisCount() const { return m_points.size(); }
    // A debris point's position relative to the explosion.
    const PVector3& GetDebrisPosition(size_t i) const { return m_points[i].position; }

private:
    struct SPDebrisPoint {
        PVector3 angles{0.0f, 0.0f, 0.0f};
        PVector3 spin{0.0f, 0.0f, 0.0f};
        PVector3 position{0.0f, 0.0f, 0.0f};
        PVector3 velocity{0.0f, 0.0f, 0.0f};
    };

    std::vector<SPDebrisPoint> m_points;
    float m_puffClock = 0.0f;
};
