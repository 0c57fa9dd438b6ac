#pragma once
#include "weapons/PWeaponObject.h"

// "gauss": a piercing beam. Its head runs ahead at the shot's speed and its tail follows at a
// twentieth of it, so the beam grows out of the muzzle; the head passes through everything on
// its line, damaging each object once (the nearer first) and spawning the hit effect at each
// surface, until it has flown kRange units. There it spawns the hit effect once more, pointing
// up, and the tail runs into the head.
//
// Fields after the type key: 1 owner tag ("enemy" or else), 2 speed, 3 damage, 4 half width,
// 5 texture, 6 effect, 7 layer, 8 hit effect, last the sound. Refused: speed not positive (the
// beam would never end). A damage given at launch (0 or more) holds for that flight alone.
class CPGauss : public CPWeaponObject {
public:
    enum State : int32_t { kRunning = 0, kClosing = 1 };
    static constexpr float kRange = 150.0f;
    // The tail moves at this part of the head's speed.
    static constexpr float kTailShare = 0.05f;

    explicit CPGauss(const std::string& name);

    TPtr<CPWeaponObject> Clone() override;
    bool Update() override;
    bool SetParams(const WeaponFields& fields) override;
    void Launch(const PVector3& position, const PVector3& direction, float damage, CPSmartPointer source, void* extra,
                bool super) override;
    void AppendSpawnedNames(std::vector<std::string>& names) const override { names.push_back(m_hitEffect); }
    void Retire() override { m_struck.clear(); }

    State GetState() const { return m_state; }
    const PVector3& GetHead() const { return m_launchPosition; }
    const PVector3& GetTail() const { return m_tail; }
    float GetTravelled() const { return m_travelled; }

private:
    void Run();
    // The segment test ahead of the head that passes through what the beam has already struck.
    bool FindNewHit(SPRayQuery& query);
    void Strike(const SPRayQuery& query);
    void Advance(float distance);
    void Close();
    void Draw();
    bool WasStruck(const CPGameObject* object) const;

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
    State m_state = kRunning;
    // What the current flight has damaged.
    std::vector<TPtr<CPGameObject>> m_struck;
};
