#include "weapons/PSExplosion.h"

#include <algorithm>
#include <cmath>

#include "core/FieldNumbers.h"
#include "core/Fields.h"
#include "core/TextHelpers.h"
#include "core/PGlobalTimer.h"
#include "platform/Random.h"
#include "math/PMathConstants.h"
#include "Render/PMaterialManager.h"
#include "Render/PParticleSpawnInfo.h"
#include "Render/PParticlesManager.h"
#include "Render/PRender.h"
#include "Render/PSprite.h"
#include "weapons/WeaponMath.h"
#include "weapons/WeaponWorld.h"

namespace {

constexpr int32_t kFlashLayer = 21;
constexpr int32_t kGlowLayer = 24;
constexpr float kGlowSize = 7.0f;
constexpr float kGlowDistance = 10.0f;
// Seconds a final ground mark stays.
constexpr float kFinalLife = 120.0f;

TPtr<CPMaterial> Material(int32_t layer, const char* effect, const std::string& texture) {
    CPMaterialManager* materials = GetMaterialManager();
    return materials ? materials->GetMaterial(layer, effect, {texture}) : nullptr;
}

// A child object named "explosion" showing a sprite of that size and material.
TPtr<CPSprite> AddSpriteChild(CPGameObject& parent, float size, const TPtr<CPMaterial>& material,
                              const PVector3& position) {
    TPtr<CPGameObject> child(new CPGameObject("explosion"));
    TPtr<CPSprite> sprite(new CPSprite(size));
    sprite->SetOwner(child.Get());
    sprite->SetMaterial(material);
    child->SetAttachment(CPGameObject::kSprite, sprite);
    child->SetPosition(position);
    parent.AddChild(child);
    return sprite;
}

uint32_t White(int32_t alpha) { return (static_cast<uint32_t>(alpha) << 24) | 0x00FFFFFFu; }

}  // namespace

CPSExplosion::CPSExplosion(const std::string& name, int32_t variant) : CPWeaponObject(name), m_variant(variant) {}

bool CPSExplosion::SetParams(const WeaponFields& fields) {
    m_followUps = SplitFields(fields[1], ",");
    m_glowTexture = fields[2];
    CPFieldNumbers numbers(fields);
    m_followUpSpeed = numbers.Float(3);
    m_pushStrength = numbers.Float(4);
    m_damageStrength = numbers.Float(5);
    m_columns = AtoI(fields[6]);
    m_rows = AtoI(fields[7]);
    m_frameRate = numbers.Float(8);
    m_size = numbers.Float(9);
    m_spriteCount = AtoI(fields[10]);
    const float sizeStep = numbers.Float(11);
    const float spacing = numbers.Float(12);
    const std::vector<std::string> colour = SplitFields(fields[13], ",");
    CPFieldNumbers colourNumbers(colour);
    for (size_t i = 0; i < 3; ++i) m_lightColour[i] = colourNumbers.Float(i);
    m_burstTemplate = fields[14];
    m_burstCount = AtoI(fields[15]);
    m_cloudTemplate = fields[16];
    m_cloudCount = AtoI(fields[17]);
    m_finalTemplate = fields[18];
    if (!AllNumbersFinite(numbers) || !AllNumbersFinite(colourNumbers)) return false;
    if (!(m_size > 0.0f) || !(m_frameRate > 0.0f) || !IsFrameGrid(m_columns, m_rows) || m_spriteCount < 0 ||
        m_spriteCount > kMaxSprites) {
        return RefuseDefinition("size, frame rate, columns and rows must be positive, at most " +
                                std::to_string(kMaxFrames) + " frames and " + std::to_string(kMaxSprites) + " sprites");
    }
    if (!IsLaunchParticleCount(m_burstCount) || !IsLaunchParticleCount(m_cloudCount)) {
        return RefuseDefinition("the burst and cloud counts must be 0 to " + std::to_string(kMaxLaunchParticles));
    }
    m_frameCount = m_columns * m_rows;

    const platform::gfx::ColorValue full{m_lightColour[0], m_lightColour[1], m_lightColour[2], 1.0f};
    m_light.type = platform::gfx::LightType::Point;
    m_light.diffuse = full;
    m_light.specular = full;
    m_light.range = 3.0f * m_size;
    m_light.attenuation1 = 1.0f / (3.0f * m_size);
    m_frames = FrameGridRects(m_columns, m_rows);
    BuildSprites(fields[0], sizeStep, spacing);
    // Only shown, with its sprites (and a ground explosion's debris): nothing tests their boxes.
    SetKeepsBounds(false);
    SetAttachment(kNothing, nullptr);
    UpdateTransform();
    return CPWeaponObject::SetParams(fields);
}

void CPSExplosion::BuildSprites(const std::string& flashTexture, float sizeStep, float spacing) {
    const TPtr<CPMaterial> flash = Material(kFlashLayer, "light.fx", flashTexture);
    float size = m_size;
    float z = 0.0f;
    for (int32_t i = 0; i < m_spriteCount; ++i) {
        TPtr<CPSprite> sprite = AddSpriteChild(*this, size, flash, {0.0f, 0.0f, z});
        sprite->SetAngle(platform::RandUnit() * 2.0f * kPi);
        const Rect& first = m_frames.front();
        sprite->SetTextureRect(first[0], first[1], first[2], first[3]);
        m_flashSprites.push_back(sprite);
        z += spacing;
        size -= sizeStep;
    }
    m_glowSprite = AddSpriteChild(*this, kGlowSize * size, Material(kGlowLayer, "particle_light.fx", m_glowTexture),
                                  {0.0f, 0.0f, kGlowDistance});
}

TPtr<CPWeaponObject> CPSExplosion::Clone() {
    TPtr<CPSExplosion> clone(new CPSExplosion(GetName(), m_variant));
    CopyParamsTo(*clone, 0);
    return clone;
}

void CPSExplosion::CopyParamsTo(CPSExplosion& target, size_t firstSpriteChild) const {
    CopySoundTo(target);
    target.CopyFrom(TPtr<CPGameObject>(const_cast<CPSExplosion*>(this)));
    target.m_followUps = m_followUps;
    target.m_followUpSpeed = m_followUpSpeed;
    target.m_pushStrength = m_pushStrength;
    target.m_damageStrength = m_damageStrength;
    target.m_lightColour = m_lightColour;
    target.m_light = m_light;
    target.m_columns = m_columns;
    target.m_rows = m_rows;
    target.m_frameCount = m_frameCount;
    target.m_frameRate = m_frameRate;
    target.m_frameIndex = 0;
    target.m_spriteCount = m_spriteCount;
    target.m_glowTexture = m_glowTexture;
    target.m_frames = m_frames;
    target.m_size = m_size;
    target.m_finalTemplate = m_finalTemplate;
    target.m_cloudTemplate = m_cloudTemplate;
    target.m_cloudCount = m_cloudCount;
    target.m_burstTemplate = m_burstTemplate;
    target.m_burstCount = m_burstCount;
    target.FindSprites(firstSpriteChild);
}

void CPSExplosion::FindSprites(size_t firstSpriteChild) {
    const std::vector<TPtr<CPGameObject>>& children = GetChildren();
    m_flashSprites.clear();
    for (int32_t i = 0; i < m_spriteCount && firstSpriteChild + i < children.size(); ++i) {
        m_flashSprites.emplace_back(children[firstSpriteChild + i]->GetAttachment().Get<CPSprite>());
    }
    const size_t glow = firstSpriteChild + m_spriteCount;
    m_glowSprite = glow < children.size() ? TPtr<CPSprite>(children[glow]->GetAttachment().Get<CPSprite>()) : nullptr;
}

void CPSExplosion::AppendSpawnedNames(std::vector<std::string>& names) const {
    names.insert(names.end(), m_followUps.begin(), m_followUps.end());
}

void CPSExplosion::Launch(const PVector3& position, const PVector3& direction, float damage, CPSmartPointer source,
                          void* extra, bool super) {
    SetPosition(position);
    m_frameIndex = 0;
    m_elapsed = 0.0f;
    m_light.position = position - direction * 0.5f;
    m_light.diffuse = {m_lightColour[0], m_lightColour[1], m_lightColour[2], 1.0f};
    if (m_glowSprite && m_glowSprite->GetOwner()) m_glowSprite->GetOwner()->SetVisible(true);
    m_super = super;
    SpawnParticles();
    SpawnFollowUps();
    AffectSurroundings();
    CPWeaponObject::Launch(position, direction, damage, std::move(source), extra, super);
}

void CPSExplosion::SpawnParticles() {
    CPParticlesManager* particles = GetParticlesManager();
    if (!particles) return;
    CPParticleSpawnInfo burst;
    burst.name = m_burstTemplate;
    burst.size = 0.7f;
    for (int32_t i = 0; i < m_burstCount; ++i) {
        burst.position = GetPosition() + Vec3TransformNormal({0.0f, 0.0f, 0.9f * m_size}, RandomRotation());
        const float vx = platform::RandUnit() * 0.4f - 0.2f;
        const float vy = platform::RandUnit() * 0.4f - 0.2f;
        burst.velocity = {vx, vy, platform::RandUnit() * 2.5f + 0.5f};
        burst.growth = platform::RandUnit() * 1.8f + 5.4f;
        burst.life = platform::RandUnit() * 0.4f + 0.5f;
        particles->SpawnEffect(burst);
    }
    CPParticleSpawnInfo cloud;
    cloud.name = m_cloudTemplate;
    cloud.size = 2.7f;
    cloud.acceleration = {0.0f, 0.0f, -2.0f};
    for (int32_t i = 0; i < m_cloudCount; ++i) {
        const float x = platform::RandUnit() * m_size / 2.0f - m_size / 4.0f;
        const float y = platform::RandUnit() * m_size / 2.0f - m_size / 4.0f;
        const float z = platform::RandUnit() * m_size / 2.0f - m_size / 4.0f;
        cloud.position = GetPosition() + PVector3{x, y, z};
        const float vx = platform::RandUnit() * 0.8f - 0.4f;
        const float vy = platform::RandUnit() * 0.8f - 0.4f;
        cloud.velocity = {vx, vy, platform::RandUnit() * 0.5f + 4.5f};
        cloud.growth = platform::RandUnit() * 1.8f + 0.4f;
        cloud.life = platform::RandUnit() * 2.0f + 2.2f;
        particles->SpawnEffect(cloud);
    }
}

void CPSExplosion::SpawnFollowUps() {
    const PVector3 raised = GetPosition() + PVector3{0.0f, 0.0f, 0.5f};
    for (const std::string& name : m_followUps) {
        const float speed = (platform::RandUnit() * 0.4f + 0.8f) * m_followUpSpeed * 0.5f;
        const PVector3 direction = Vec3TransformNormal({0.0f, 0.0f, speed}, RandomRotation());
        SpawnFollowUp(name, raised, direction, -1.0f, false);
    }
}

void CPSExplosion::AffectSurroundings() {
    m_found.clear();
    GetWeaponWorld().QueryObjects(GetPosition(), kReach * m_size, m_found, m_super);
    for (const TPtr<CPGameObject>& object : m_found) AffectObject(*object);
    m_found.clear();

    CPParticlesManager* particles = GetParticlesManager();
    if (!particles) return;
    CPParticleSpawnInfo mark;
    mark.name = m_finalTemplate;
    mark.position = GetPosition();
    mark.size = 2.0f * m_size;
    mark.growth = platform::RandUnit() * 1.8f + 0.4f;
    mark.life = kFinalLife;
    mark.fade = true;
    mark.velocity = {0.0f, 0.0f, platform::RandUnit() * 2.0f * kPi};
    particles->SpawnEffect(mark);
}

void CPSExplosion::AffectObject(CPGameObject& object) {
    const PVector3 offset = object.GetPosition() - GetPosition();
    const float distance = Vec3Length(offset);
    const PVector3 n = Vec3Normalize(offset);
    SPRayQuery query;
    query.origin = GetPosition();
    query.direction = n;
    query.distance = distance;
    IPWeaponWorld& world = GetWeaponWorld();
    const bool hit = m_super ? world.CrossRayNoPlayer(query) : world.CrossRay(query, true);
    if (!hit || (query.hitOwner.Get() != &object && query.hitObject.Get() != &object)) return;
    if (m_variant == 0 && object.GetDamageClass() != kDestructible) object.Explode(0);
    const PVector3 extent = object.GetPartBounds().HalfExtentsOrZero() * 2.0f;
    const float qx = platform::RandUnit() * extent.x / 2.0f - extent.x / 4.0f;
    const float qy = platform::RandUnit() * extent.y / 2.0f - extent.y / 4.0f;
    const float qz = platform::RandUnit() * extent.z / 2.0f - extent.z / 4.0f;
    const PVector3 impact = object.GetPosition() + PVector3{qx, qy, qz};
    const float reachLeft = kReach * m_size - distance;
    if (!IsUnpushableEnemy(object)) PushObject(object, n * (3.0f * m_pushStrength * reachLeft), impact);
    const float amount = std::max(0.0f, reachLeft * m_damageStrength);
    const PVector3 horizontal = Vec3Normalize({n.x, n.y, 0.0f});
    object.Damage(object.GetPosition(), -horizontal, amount, false, m_variant != 0, false);
}

bool CPSExplosion::Update() {
    if (m_frameIndex >= m_frameCount) return false;
    if (m_elapsed <= kFlashTime) {
        const float f = 1.0f - m_elapsed / kFlashTime;
        // Full strength shows opaque: 256 × 1 would wrap to a transparent first frame.
        const int32_t alpha = std::min(255, static_cast<int32_t>(256.0f * f));
        if (m_glowSprite) m_glowSprite->SetColour(White(alpha));
        m_light.diffuse = {m_lightColour[0] * f, m_lightColour[1] * f, m_lightColour[2] * f, 1.0f};
        m_light.specular = m_light.diffuse;
        if (CPRender* render = GetRender()) render->AddLight(m_light);
    } else if (m_glowSprite && m_glowSprite->GetOwner()) {
        m_glowSprite->GetOwner()->SetVisible(false);
    }
    FaceCamera();
    const Rect& frame = m_frames[m_frameIndex];
    for (const TPtr<CPSprite>& sprite : m_flashSprites) sprite->SetTextureRect(frame[0], frame[1], frame[2], frame[3]);
    UpdateTransform();
    m_elapsed += g_frameDelta;
    m_frameIndex = static_cast<int32_t>(std::min(m_elapsed * m_frameRate, static_cast<float>(m_frameCount)));
    return true;
}

void CPSExplosion::FaceCamera() {
    const PVector3 toEye = Vec3Normalize(GetWeaponWorld().GetEye() - GetPosition());
    SetRotation(TurnOnto({0.0f, 0.0f, 1.0f}, toEye));
}
