#pragma once
#include <array>
#include <vector>

#include "platform/gfx/Light.h"
#include "weapons/PWeaponObject.h"

class CPSprite;

// "s_explosion" (variant 0) and "s_explosion1" (variant 1): a stack of animated flash sprites
// facing the camera with a glow and a point light that fade in 0.4 s, bursts of particles,
// follow-up objects thrown in random directions, and an area effect that pushes, damages and
// (variant 0) sets fire to what stands around it in the line of fire. It lives until the flash
// animation has played once. Variant 1 keeps its damage from the objects' scripts.
//
// Fields: 0 flash texture, 1 follow-up names ("," separated), 2 glow texture, 3 follow-up speed,
// 4 push strength, 5 damage strength, 6 columns, 7 rows, 8 frame rate, 9 size, 10 flash sprites,
// 11 size step, 12 spacing, 13 light colour "r,g,b", 14 burst template, 15 burst count, 16 cloud
// template, 17 cloud count, 18 final template, last the sound. Refused: size, frame rate,
// columns or rows not positive, a negative sprite count, burst or cloud counts outside 0 to
// kMaxLaunchParticles.
class CPSExplosion : public CPWeaponObject {
public:
    // Seconds of the flash, glow and light.
    static constexpr float kFlashTime = 0.4f;
    // How far the area effect reaches, in sizes.
    static constexpr float kReach = 1.5f;

    CPSExplosion(const std::string& name, int32_t variant);

    TPtr<CPWeaponObject> Clone() override;
    bool Update() override;
    bool SetParams(const WeaponFields& fields) override;
    void Launch(const PVector3& position, const PVector3& direction, float damage, CPSmartPointer source, void* extra,
                bool super) override;
    void AppendSpawnedNames(std::vector<std::string>& names) const override;

    // Makes the target a copy of this explosion; its sprites are its own children from the
    // given child on (a ground explosion keeps its debris models before them).
    void CopyParamsTo(CPSExplosion& target, size_t firstSpriteChild) const;

    int32_t GetFrameIndex() const { return m_frameIndex; }
    int32_t GetFrameCount() const { return m_frameCount; }
    const std::vector<TPtr<CPSprite>>& GetFlashSprites() const { return m_flashSprites; }
    const TPtr<CPSprite>& GetGlowSprite() const { return m_glowSprite; }
    const platform::gfx::Light& GetLight() const { return m_light; }

protected:
    // The sprites of the children from the given one on: the flash sprites, then the glow.
    void FindSprites(size_t firstSpriteChild);

private:
    using Rect = std::array<float, 4>;

    void SpawnParticles();
    void SpawnFollowUps();
    void AffectSurroundings();
    void AffectObject(CPGameObject& object);
    void BuildSprites(const std::string& flashTexture, float sizeStep, float spacing);
    void FaceCamera();

    std::vector<std::string> m_followUps;
    float m_followUpSpeed = 0.0f;
    float m_pushStrength = 0.0f;
    float m_damageStrength = 0.0f;
    std::array<float, 3> m_lightColour{};
    platform::gfx::Light m_light{};
    int32_t m_columns = 0;
    int32_t m_rows = 0;
    int32_t m_frameCount = 0;
    float m_frameRate = 0.0f;
    int32_t m_frameIndex = 0;
    float m_elapsed = 0.0f;
    int32_t m_spriteCount = 0;
    std::string m_glowTexture;
    std::vector<TPtr<CPSprite>> m_flashSprites;
    TPtr<CPSprite> m_glowSprite;
    std::vector<Rect> m_frames;
    float m_size = 0.0f;
    std::string m_finalTemplate;
    std::string m_cloudTemplate;
    int32_t m_cloudCount = 0;
    std::string m_burstTemplate;
    int32_t m_burstCount = 0;
    int32_t m_variant;
    std::vector<TPtr<CPGameObject>> m_found;
};
