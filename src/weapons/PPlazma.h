#pragma once
#include <array>

#include "weapons/PWeaponObject.h"

class CPSprite;

// "plazma": a charge, a cloud of animated sprites riding on the weapon that fired it (its
// source; launched relative to it), drawing in toward its centre and fading in over the charge
// time; then it fires its follow-up along the launch direction turned by the weapon. Without a
// follow-up it stays until the weapons are cleared; without a source it ends at once.
//
// Fields after the type key: 1 charge time, 2 radius, 3 sprites, 4 layer offset (from 20),
// 5 texture, 6 effect, 7 sprite size, 8 columns, 9 rows, 10 frame time, 11 follow-up, last the
// sound. Refused: charge time or frame time not positive, columns or rows below 1.
class CPPlazma : public CPWeaponObject {
public:
    explicit CPPlazma(const std::string& name) : CPWeaponObject(name) {}

    TPtr<CPWeaponObject> Clone() override;
    bool Update() override;
    bool SetParams(const WeaponFields& fields) override;
    void Launch(const PVector3& position, const PVector3& direction, float damage, CPSmartPointer source, void* extra,
                bool super) override;
    void AppendSpawnedNames(std::vector<std::string>& names) const override { names.push_back(m_followUp); }
    void Retire() override { m_source = nullptr; }

    const std::vector<TPtr<CPSprite>>& GetSprites() const { return m_sprites; }

private:
    using Rect = std::array<float, 4>;

    // Every child on the sphere of the radius in a random direction, showing the first frame.
    void ScatterSprites();
    void ShowFrame(int32_t frame, uint32_t colour);

    std::string m_followUp;
    float m_elapsed = 0.0f;
    float m_chargeTime = 0.0f;
    float m_radius = 0.0f;
    int32_t m_spriteCount = 0;
    int32_t m_columns = 0;
    int32_t m_rows = 0;
    float m_frameTime = 0.0f;
    std::vector<Rect> m_frames;
    std::vector<TPtr<CPSprite>> m_sprites;
    TPtr<CPGameObject> m_source;
};

// "s_plazma": a plasma bolt, a camera-facing quad flying straight (homing within 36 degrees when
// launched with the super flag) that damages the first thing its ray meets, spawns its hit effect
// there and ends, or vanishes at the end of its range: 15 units for a player's bolt, 60 for an
// enemy's. An enemy's bolt damages only the player's car.
//
// Fields after the type key: 1 owner tag, 2 speed, 3 damage, 4 size, 5 texture, 6 effect,
// 7 layer, 8 to 12 unused numbers, 13 hit effect, last the sound. Refused: speed not positive.
class CPSPlazma : public CPWeaponObject {
public:
    static constexpr float kPlayerRange = 15.0f;
    static constexpr float kEnemyRange = 60.0f;
    // The impulse a player's bolt gives what it hits, along the ray.
    static constexpr float kImpulse = 150.0f;

    explicit CPSPlazma(const std::string& name) : CPWeaponObject(name) {}

    TPtr<CPWeaponObject> Clone() override;
    bool Update() override;
    bool SetParams(const WeaponFields& fields) override;
    void Launch(const PVector3& position, const PVector3& direction, float damage, CPSmartPointer source, void* extra,
                bool super) override;
    void AppendSpawnedNames(std::vector<std::string>& names) const override { names.push_back(m_hitEffect); }

private:
    void Home();
    void Hit(const SPRayQuery& query);
    void Draw();

    float m_size = 0.0f;
    float m_speed = 0.0f;
    float m_travelled = 0.0f;
    bool m_playerShot = true;
    float m_damage = 0.0f;
    std::string m_hitEffect;
    bool m_homing = false;
    std::vector<TPtr<CPGameObject>> m_wedge;
};
