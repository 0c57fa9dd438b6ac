#include "weapons/PPlazma.h"

#include <algorithm>
#include <climits>
#include <cmath>

#include "core/FieldNumbers.h"
#include "core/PGlobalTimer.h"
#include "core/TextHelpers.h"
#include "math/PMathConstants.h"
#include "Render/PMaterialManager.h"
#include "Render/PRenderObject.h"
#include "Render/PSprite.h"
#include "weapons/WeaponMath.h"
#include "weapons/WeaponQuad.h"
#include "weapons/WeaponWorld.h"

namespace {

constexpr int32_t kChargeLayer = 20;
constexpr float kHomingAngle = kPi / 5.0f;
constexpr float kHomingTurn = 5.5f;
constexpr float kHomingBound = 100000.0f;
constexpr float kLookAhead = 3.0f;

// The frame of a looping animation after elapsed seconds; counted in double, so that a frame
// time however short still gives a frame of the grid.
int32_t LoopedFrame(float elapsed, float frameTime, int32_t frameCount) {
    const double steps = std::floor(static_cast<double>(elapsed) / frameTime);
    return static_cast<int32_t>(std::fmod(steps, frameCount));
}

}  // namespace

bool CPPlazma::SetParams(const WeaponFields& fields) {
    CPFieldNumbers numbers(fields);
    m_chargeTime = numbers.Float(0);
    m_radius = numbers.Float(1);
    m_spriteCount = AtoI(fields[2]);
    const int32_t layer = static_cast<int32_t>(std::clamp<int64_t>(int64_t{kChargeLayer} + AtoI(fields[3]), 0, INT32_MAX));
    const float spriteSize = numbers.Float(6);
    m_columns = AtoI(fields[7]);
    m_rows = AtoI(fields[8]);
    m_frameTime = numbers.Float(9);
    m_followUp = fields[10];
    if (!AllNumbersFinite(numbers)) return false;
    if (!(m_chargeTime > 0.0f) || !(m_frameTime > 0.0f) || !IsFrameGrid(m_columns, m_rows) || m_spriteCount < 0 ||
        m_spriteCount > kMaxSprites) {
        return RefuseDefinition("charge time, frame time, columns and rows must be positive, at most " +
                                std::to_string(kMaxFrames) + " frames and " + std::to_string(kMaxSprites) + " sprites");
    }
    CPMaterialManager* materials = GetMaterialManager();
    const TPtr<CPMaterial> material = materials ? materials->GetMaterial(layer, fields[5], {fields[4]}) : nullptr;
    m_frames = FrameGridRects(m_columns, m_rows);
    SetAttachment(kNothing, nullptr);
    for (int32_t i = 0; i < m_spriteCount; ++i) {
        TPtr<CPGameObject> child(new CPGameObject("plazma"));
        TPtr<CPSprite> sprite(new CPSprite(spriteSize));
        sprite->SetOwner(child.Get());
        sprite->SetMaterial(material);
        child->SetAttachment(kSprite, sprite);
        AddChild(child);
        m_sprites.push_back(sprite);
    }
    ScatterSprites();
    return CPWeaponObject::SetParams(fields);
}

TPtr<CPWeaponObject> CPPlazma::Clone() {
    TPtr<CPPlazma> clone(new CPPlazma(GetName()));
    CopySoundTo(*clone);
    clone->CopyFrom(TPtr<CPGameObject>(this));
    clone->m_spriteCount = m_spriteCount;
    clone->m_chargeTime = m_chargeTime;
    clone->m_radius = m_radius;
    clone->m_columns = m_columns;
    clone->m_rows = m_rows;
    clone->m_frameTime = m_frameTime;
    clone->m_followUp = m_followUp;
    clone->m_frames = m_frames;
    for (const TPtr<CPGameObject>& child : clone->GetChildren()) {
        if (CPSprite* sprite = child->GetAttachment().Get<CPSprite>()) clone->m_sprites.emplace_back(sprite);
    }
    return clone;
}

void CPPlazma::Launch(const PVector3& position, const PVector3& direction, float damage, CPSmartPointer source,
                      void* extra, bool super) {
    m_source = source.Get<CPGameObject>();
    CPWeaponObject::Launch(position, direction, damage, std::move(source), extra, super);
    SetPosition(position);
    UpdateTransform();
    m_elapsed = 0.0f;
    ScatterSprites();
}

void CPPlazma::ScatterSprites() {
    for (const TPtr<CPGameObject>& child : GetChildren()) {
        child->SetPosition(Vec3TransformNormal({m_radius, 0.0f, 0.0f}, RandomRotation()));
        child->UpdateTransform();
    }
    ShowFrame(0, 0xFFFFFFFFu);
}

void CPPlazma::ShowFrame(int32_t frame, uint32_t colour) {
    const Rect& cell = m_frames[frame];
    for (const TPtr<CPSprite>& sprite : m_sprites) {
        sprite->SetTextureRect(cell[0], cell[1], cell[2], cell[3]);
        sprite->SetColour(colour);
    }
}

bool CPPlazma::Update() {
    if (!m_source) return false;
    const int32_t frame = LoopedFrame(m_elapsed, m_frameTime, static_cast<int32_t>(m_frames.size()));
    const float r = (m_chargeTime - m_elapsed) / m_chargeTime;
    const uint32_t alpha = 255u - static_cast<uint32_t>(r * 255.0f);
    for (const TPtr<CPGameObject>& child : GetChildren()) {
        child->SetPosition(Vec3Normalize(child->GetPosition()) * (r * m_radius));
    }
    ShowFrame(frame, (alpha << 24) | 0x00FFFFFFu);
    SetParentMatrix(m_source->GetWorld());
    UpdateTransform();
    if (!m_followUp.empty() && m_elapsed >= m_chargeTime) {
        m_launchDirection = Vec3TransformNormal(m_launchDirection, m_source->GetWorld());
        const PVector3 at{GetWorld().m[3][0], GetWorld().m[3][1], GetWorld().m[3][2]};
        SpawnFollowUp(m_followUp, at, m_launchDirection, -1.0f, m_super);
        m_source = nullptr;
        return false;
    }
    m_elapsed = std::min(m_elapsed + g_frameDelta, m_chargeTime);
    return true;
}

bool CPSPlazma::SetParams(const WeaponFields& fields) {
    m_playerShot = !IsEnemyTag(fields[0]);
    CPFieldNumbers numbers(fields);
    m_speed = numbers.Float(1);
    m_damage = numbers.Float(2);
    m_size = numbers.Float(3);
    const int32_t layer = AtoI(fields[6]);
    m_hitEffect = fields[12];
    if (!AllNumbersFinite(numbers)) return false;
    if (!(m_speed > 0.0f)) return RefuseDefinition("speed must be positive");
    BuildTexturedQuad(*GetRenderObject(), layer, fields[5], fields[4], {{{0.0f, 1.0f}, {0.0f, 0.0f}, {1.0f, 0.0f}, {1.0f, 1.0f}}});
    return CPWeaponObject::SetParams(fields);
}

TPtr<CPWeaponObject> CPSPlazma::Clone() {
    TPtr<CPSPlazma> clone(new CPSPlazma(GetName()));
    CopySoundTo(*clone);
    clone->CopyFrom(TPtr<CPGameObject>(this));
    clone->AdoptCopiedRenderObject();
    clone->m_speed = m_speed;
    clone->m_damage = m_damage;
    clone->m_hitEffect = m_hitEffect;
    clone->m_playerShot = m_playerShot;
    clone->m_size = m_size;
    return clone;
}

void CPSPlazma::Launch(const PVector3& position, const PVector3& direction, float damage, CPSmartPointer source,
                       void* extra, bool super) {
    CPWeaponObject::Launch(position, direction, damage, std::move(source), extra, super);
    ResetQuadOwner(*this);
    m_launchDirection = Vec3Normalize(m_launchDirection);
    m_travelled = 0.0f;
    m_homing = super;
}

bool CPSPlazma::Update() {
    if (m_homing) Home();
    const float step = m_speed * g_frameDelta;
    m_travelled += step;
    SPRayQuery query;
    query.origin = m_launchPosition;
    query.direction = m_launchDirection;
    query.distance = kLookAhead * step;
    IPWeaponWorld& world = GetWeaponWorld();
    if (m_playerShot ? world.CrossRayNoPlayer(query) : world.CrossRay(query, true)) {
        Hit(query);
        return false;
    }
    m_launchPosition += m_launchDirection * step;
    Draw();
    return m_travelled <= (m_playerShot ? kPlayerRange : kEnemyRange);
}

void CPSPlazma::Hit(const SPRayQuery& query) {
    CPGameObject* root = query.hitOwner.Get();
    const PVector3 normal = PlaneNormal(query.hitPlane);
    if (root && m_playerShot && !IsUnpushableEnemy(*root)) {
        PushObject(*root, query.direction * kImpulse, query.hitPoint);
    }
    if (root && (m_playerShot || root == GetWeaponWorld().GetPlayerCar())) {
        root->Damage(query.hitPoint, Vec3Normalize({normal.x, normal.y, 0.0f}), m_damage, false, false, false);
    }
    SpawnFollowUp(m_hitEffect, query.hitPoint, normal, m_damageOverride, false);
}

void CPSPlazma::Draw() {
    const PVector3& p = m_launchPosition;
    const PVector3& d = m_launchDirection;
    const PVector3 s = Vec3Normalize(Vec3Cross(d, GetWeaponWorld().GetEye() - p)) * (m_size / 2.0f);
    const PVector3 along = d * m_size;
    PlaceQuad(*GetRenderObject(), *this, {p - along + s, p + along + s, p + along - s, p - along - s});
}

void CPSPlazma::Home() {
    PVector3 line1;
    PVector3 line2;
    WedgeLines(m_launchPosition, m_launchDirection, kHomingAngle, line1, line2);
    m_wedge.clear();
    GetWeaponWorld().CollectObjectsInWedge(line1, line2, m_wedge);
    CPGameObject* target = m_playerShot ? Nearest(m_wedge, m_launchPosition, kHomingBound) : nullptr;
    m_wedge.clear();
    if (!target) return;
    const PVector3 toTarget = Vec3Normalize(target->GetPosition() - m_launchPosition);
    m_launchDirection = TurnToward(m_launchDirection, toTarget, kHomingTurn * g_frameDelta);
}
