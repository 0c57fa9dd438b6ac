#pragma once
#include "weapons/PWeaponObject.h"

// "blood", "oil", "grelk": ground spots laid along a few random streaks spreading sideways from
// the launch direction, all at launch; the object finishes on its first update. Fields:
// 0 spot template, 1 a second template (unused), 2 streaks, 3 and 4 the smallest and largest spot
// scale (the largest is also the longest step along a streak), 5 the total spread in degrees. A
// splash makes no sound. Refused: streaks outside 0 to kMaxStreaks.
class CPSplash : public CPWeaponObject {
public:
    // The most spots one streak lays, however small its steps.
    static constexpr int32_t kMaxSpotsPerStreak = 64;
    static constexpr int32_t kMaxStreaks = 16;

    explicit CPSplash(const std::string& name) : CPWeaponObject(name) {}

    TPtr<CPWeaponObject> Clone() override;
    bool Update() override { return false; }
    bool SetParams(const WeaponFields& fields) override;
    void Launch(const PVector3& position, const PVector3& direction, float damage, CPSmartPointer source, void* extra,
                bool super) override;

private:
    void LayStreak(const PVector3& position, const PVector3& direction);

    std::string m_template;
    std::string m_secondTemplate;
    int32_t m_streaks = 0;
    float m_scaleMin = 0.0f;
    float m_scaleMax = 0.0f;
    float m_spread = 0.0f;
};
