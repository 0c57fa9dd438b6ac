#pragma once
#include "game/PItemInfo.h"
#include "weapons/PWeaponObject.h"

// "mine": a mine placed by the scripts, a physics body thrown along the launch direction that
// lies armed for its lifetime and goes off (spawning its explosion) as soon as an object linked
// to an AI entity comes within its trigger radius; the player's car and the scenery never set it
// off. When its lifetime has passed it explodes anyway in timer mode, else it just vanishes.
//
// The prototype's name is a mine layer of Data\m_info.dat, whose p8 is the trigger radius, and
// its model is "<name>.rdf". Fields: 0 explosion, 1 lifetime (seconds), 2 "timer" for timer
// mode (anything else: none), last the sound. Refused: a name without an m_info record, a model
// without physics data.
class CPMine : public CPWeaponObject {
public:
    explicit CPMine(const std::string& name) : CPWeaponObject(name) {}

    TPtr<CPWeaponObject> Clone() override;
    bool Update() override;
    bool SetParams(const WeaponFields& fields) override;
    // Places the mine without the standard launch: no sound, the launch data stay as they were.
    void Launch(const PVector3& position, const PVector3& direction, float damage, CPSmartPointer source, void* extra,
                bool super) override;
    void AppendSpawnedNames(std::vector<std::string>& names) const override { names.push_back(m_explosion); }
    void Retire() override { LeaveWorld(); }

    float GetTriggerRadius() const { return m_info.param8; }
    bool IsTimerMode() const { return m_timerMode; }

private:
    void DrawShadow();
    bool EnemyWithinReach();
    void Explode(const PVector3& direction);
    void LeaveWorld();

    CPMineInfo m_info;
    std::string m_explosion;
    float m_lifetime = 0.0f;
    float m_elapsed = 0.0f;
    bool m_timerMode = false;
    std::vector<TPtr<CPGameObject>> m_found;
};
