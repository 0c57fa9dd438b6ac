#include "weapons/PTrasser.h"

#include "core/FieldNumbers.h"
#include "core/PGlobalTimer.h"
#include "core/TextHelpers.h"
#include "math/PMathConstants.h"
#include "Render/PRenderObject.h"
#include "weapons/WeaponMath.h"
#include "weapons/WeaponQuad.h"
#include "weapons/WeaponWorld.h"

namespace {

// The streak starts this many half widths long.
constexpr float kStartLength = 8.0f;
// The tail follows at this part of the head's speed.
constexpr float kTailShare = 0.99f;
// The ray reaches this many steps ahead.
constexpr float kLookAhead = 3.0f;
constexpr float kHomingAngle = kPi / 6.0f;
constexpr float kHomingTurn = 3.5f;
constexpr float kHomingBound = 100000.0f;

}  // namespace

bool CPTrasser::SetParams(const WeaponFields& fields) {
    m_playerShot = !IsEnemyTag(fields[0]);
    CPFieldNumbers numbers(fields);
    m_speed = numbers.Float(1);
    m_definedDamage = numbers.Float(2);
    m_halfWidth = numbers.Float(3);
    const int32_t layer = AtoI(fields[6]);
    m_hitEffect = fields[7];
    m_impulse = numbers.Float(8);
    m_range = numbers.Float(9);
    if (!AllNumbersFinite(numbers)) return false;
    if (m_range < 0.0f) m_range = kDefaultRange;
    if (!(m_speed > 0.0f) || !(m_halfWidth > 0.0f)) return RefuseDefinition("speed and half width must be positive");
    m_homing = false;
    BuildTexturedQuad(*GetRenderObject(), layer, fields[5], fields[4], {{{0.0f, 0.0f}, {1.0f, 0.0f}, {1.0f, 1.0f}, {0.0f, 1.0f}}});
    // Only shown: nothing tests a streak's boxes.
    SetKeepsBounds(false);
    return CPWeaponObject::SetParams(fields);
}

TPtr<CPWeaponObject> CPTrasser::Clone() {
    TPtr<CPTrasser> clone(new CPTrasser(GetName()));
    CopySoundTo(*clone);
    clone->CopyFrom(TPtr<CPGameObject>(this));
    clone->AdoptCopiedRenderObject();
    clone->m_speed = m_speed;
    clone->m_definedDamage = m_definedDamage;
    clone->m_hitEffect = m_hitEffect;
    clone->m_playerShot = m_playerShot;
    clone->m_halfWidth = m_halfWidth;
    clone->m_impulse = m_impulse;
    clone->m_range = m_range;
    clone->m_homing = m_homing;
    return clone;
}

void CPTrasser::Launch(const PVector3& position, const PVector3& direction, float damage, CPSmartPointer source,
                       void*, bool super) {
    m_tailDistance = -kStartLength * m_halfWidth;
    m_travelled = 0.0f;
    CPWeaponObject::Launch(position, direction, damage, std::move(source), nullptr, false);
    ResetQuadOwner(*this);
    m_launchDirection = Vec3Normalize(m_launchDirection);
    m_tail = position - m_launchDirection * (kStartLength * m_halfWidth);
    m_state = kFlying;
    m_damage = damage >= 0.0f ? damage : m_definedDamage;
    m_homing = super;
    std::vector<SPVertex>& vertices = GetRenderObject()->GetVertices();
    vertices[1].tex0.x = 1.0f;
    vertices[2].tex0.x = 1.0f;
}

bool CPTrasser::Update() {
    if (m_state == kFlying) {
        Fly();
        return true;
    }
    CatchUp();
    return m_tailDistance < m_travelled;
}

void CPTrasser::Fly() {
    if (m_homing) Home();
    const float step = m_speed * g_frameDelta;
    SPRayQuery query;
    query.origin = m_launchPosition;
    query.direction = m_launchDirection;
    query.distance = kLookAhead * step;
    IPWeaponWorld& world = GetWeaponWorld();
    const bool hit = m_playerShot ? world.CrossRayNoPlayer(query) : world.CrossRay(query, true);
    if (hit) {
        Hit(query);
        return;
    }
    Advance(step);
    Draw();
    if (m_travelled > m_range) {
        m_streakLength = m_travelled - m_tailDistance;
        m_state = kStopped;
    }
}

void CPTrasser::Hit(const SPRayQuery& query) {
    CPGameObject* root = query.hitOwner.Get();
    if (root && m_playerShot && !IsUnpushableEnemy(*root)) {
        PushObject(*root, query.direction * (3.0f * m_impulse), query.hitPoint);
    }
    m_streakLength = m_travelled - m_tailDistance;
    Advance(query.distance);
    Draw();
    m_state = kStopped;
    const PVector3 normal = PlaneNormal(query.hitPlane);
    if (root && (m_playerShot || root == GetWeaponWorld().GetPlayerCar())) {
        root->Damage(query.hitPoint, Vec3Normalize({normal.x, normal.y, 0.0f}), m_damage, false, false, false);
    }
    SpawnFollowUp(m_hitEffect, m_launchPosition, normal, -1.0f, false);
}

void CPTrasser::Advance(float distance) {
    m_travelled += distance;
    m_tailDistance += kTailShare * distance;
    m_launchPosition += m_launchDirection * distance;
    m_tail += m_launchDirection * (kTailShare * distance);
    if (m_homing) m_launchPosition = m_tail + m_launchDirection * Vec3Length(m_launchPosition - m_tail);
}

void CPTrasser::CatchUp() {
    const float step = kTailShare * m_speed * g_frameDelta;
    m_tailDistance += step;
    if (m_tailDistance >= m_travelled) m_tailDistance = m_travelled;
    const float u = m_streakLength > 0.0f ? (m_travelled - m_tailDistance) / m_streakLength : 0.0f;
    std::vector<SPVertex>& vertices = GetRenderObject()->GetVertices();
    vertices[1].tex0.x = u;
    vertices[2].tex0.x = u;
    m_tail += m_launchDirection * step;
    Draw();
}

void CPTrasser::Draw() {
    const PVector3& head = m_launchPosition;
    const PVector3 side =
        Vec3Normalize(Vec3Cross(head - m_tail, GetWeaponWorld().GetEye() - m_tail)) * m_halfWidth;
    PlaceQuad(*GetRenderObject(), *this, {m_tail + side, head + side, head - side, m_tail - side});
}

void CPTrasser::Home() {
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
