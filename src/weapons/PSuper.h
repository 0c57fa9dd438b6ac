#pragma once
#include "weapons/PWeaponObject.h"

// "super", "super2", "super3": the super weapon of levels 0, 1 and 2. Launched, it tells the
// scripts of the category "main" ("say_super"), plays its registered sound, and for about two
// seconds fires volleys from the player's car in a ring, each shot with damage 20, the car as
// its source and the super flag set (so that tracers home in): level 0 two rings of 18
// "trasser14_1", level 1 twelve rings of 24 "trasser15_1", level 2 salvos of three "srocket4"
// until it ends. A white full-screen flash (layer 197, "super.fx") rises within 0.2 s, holds
// until 1 s and fades by 2 s, when the weapon ends. Without a player's car no volley leaves.
//
// The ring's direction and the volley timer carry over to the next launch of a pooled object,
// whose first volley then leaves at once.
//
// Fields after the type key: 1 the name of the registered sound, last the sound.
class CPSuper : public CPWeaponObject {
public:
    enum FlashState : int32_t { kRising = 0, kHolding = 1, kFalling = 2, kOver = 3 };
    static constexpr float kShotDamage = 20.0f;
    static constexpr int32_t kFlashLayer = 197;

    // The volleys of one level.
    struct SPVolley {
        int32_t limit;
        float interval;
        int32_t shots;
        float turn;  // radians about z before each shot
        const char* shot;
    };
    static const SPVolley& VolleyOf(int32_t level);

    CPSuper(const std::string& name, int32_t level) : CPWeaponObject(name), m_level(level) {}

    TPtr<CPWeaponObject> Clone() override;
    bool Update() override;
    bool SetParams(const WeaponFields& fields) override;
    void Launch(const PVector3& position, const PVector3& direction, float damage, CPSmartPointer source, void* extra,
                bool super) override;

    int32_t GetLevel() const { return m_level; }
    float GetFlash() const { return m_flash; }
    FlashState GetFlashState() const { return m_flashState; }
    int32_t GetVolleysFired() const { return m_volleysFired; }

private:
    void FireVolleys(float dt);
    void FireVolley(const SPVolley& volley);
    // False once the flash is over.
    bool Flash(float dt);
    void ShowFlash();
    void PlayRegisteredSound() const;

    float m_clock = 0.0f;
    FlashState m_flashState = kRising;
    float m_flash = 0.0f;
    int32_t m_volleysFired = 0;
    int32_t m_level = 0;
    std::string m_registeredSound;
    PVector3 m_volleyDirection{1.0f, 0.0f, 0.0f};
    float m_volleyTimer = 0.0f;
};
