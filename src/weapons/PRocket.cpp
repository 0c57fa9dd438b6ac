#include "weapons/PRocket.h"

#include <cmath>

#include "core/FieldNumbers.h"
#include "core/PGlobalTimer.h"
#include "math/PMathConstants.h"
#include "Render/PParticleSpawnInfo.h"
#include "Render/PParticlesManager.h"
#include "weapons/WeaponMath.h"
#include "weapons/WeaponWorld.h"

namespace {

constexpr float kWedgeAngle = kPi / 4.0f;
constexpr float kSeekTurn = 3.5f;
constexpr float kSeekBound = 100000.0f;
// A seeking rocket's ray reaches this many of its steps ahead.
constexpr float kSeekLookAhead = 3.0f;

}  // namespace

bool CPRocketBase::SetParams(const WeaponFields& fields) {
    LoadModel(fields[0]);
    // Only shown: a rocket finds what it hits with its own ray, nothing tests its boxes.
    SetKeepsBounds(false);
    m_playerRocket = !IsEnemyTag(fields[1]);
    CPFieldNumbers numbers(fields);
    m_speed = numbers.Float(2);
    m_damage = numbers.Float(3);
    m_explosion = fields[4];
    m_smoke = fields[5];
    m_puffSize = numbers.Float(6);
    m_puffLife = numbers.Float(7);
    m_smokeInterval = numbers.Float(8);
    m_lookAhead = numbers.Float(9);
    if (!AllNumbersFinite(numbers)) return false;
    if (!(m_speed > 0.0f)) return RefuseDefinition("speed must be positive");
    return CPWeaponObject::SetParams(fields);
}

void CPRocketBase::CopyRocketTo(CPRocketBase& target) {
    CopySoundTo(target);
    target.CopyFrom(TPtr<CPGameObject>(this));
    target.m_speed = m_speed;
    target.m_damage = m_damage;
    target.m_explosion = m_explosion;
    target.m_playerRocket = m_playerRocket;
    target.m_lookAhead = m_lookAhead;
    target.m_smoke = m_smoke;
    target.m_puffSize = m_puffSize;
    target.m_puffLife = m_puffLife;
    target.m_smokeInterval = m_smokeInterval;
}

bool CPRocketBase::CrossRay(SPRayQuery& query, bool enemies) {
    IPWeaponWorld& world = GetWeaponWorld();
    return m_playerRocket ? world.CrossRayNoPlayer(query) : world.CrossRay(query, enemies);
}

void CPRocketBase::Strike(const SPRayQuery& query, const PVector3& burstAt, const PVector3& burstDirection) {
    if (CPGameObject* root = query.hitOwner.Get()) {
        root->Damage(root->GetPosition(), -query.direction, m_damage, false, true, false);
        root->MaybeSetGibOnDeath(true);
    }
    Burst(burstAt, burstDirection);
}

void CPRocketBase::Burst(const PVector3& at, const PVector3& direction) {
    SpawnFollowUp(m_explosion, at, direction, m_damageOverride, m_playerRocket);
}

void CPRocketBase::EmitPuff(const PVector3& position) {
    CPParticlesManager* particles = GetParticlesManager();
    if (!particles) return;
    CPParticleSpawnInfo puff;
    puff.name = m_smoke;
    puff.position = position;
    puff.size = m_puffSize;
    puff.life = m_puffLife;
    puff.fade = true;
    particles->SpawnEffect(puff);
}

TPtr<CPWeaponObject> CPRocket::Clone() {
    TPtr<CPRocket> clone(new CPRocket(GetName()));
    CopyRocketTo(*clone);
    return clone;
}

void CPRocket::Launch(const PVector3& position, const PVector3& direction, float, CPSmartPointer source, void*,
                      bool) {
    m_rocketTime = 0.0f;
    m_smokeTime = 0.0f;
    m_verticalSpeed = m_speed * std::sin(direction.z);
    m_horizontalSpeed = m_speed * std::cos(direction.z);
    const PVector3 flat{direction.x, direction.y, 0.0f};
    const PVector3 heading = Vec3LengthSq(flat) > 0.0f ? Vec3Normalize(flat) : PVector3{0.0f, 1.0f, 0.0f};
    CPWeaponObject::Launch(position, heading, m_damage, std::move(source), nullptr, false);
}

PVector3 CPRocket::PathAt(float time) const {
    const float along = m_horizontalSpeed * time;
    return {m_launchPosition.x + along * m_launchDirection.x, m_launchPosition.y + along * m_launchDirection.y,
            m_verticalSpeed * time - kHalfGravity * time * time};
}

bool CPRocket::Update() {
    const PVector3 a = PathAt(m_rocketTime);
    m_rocketTime += kClockRate * g_frameDelta;
    PVector3 b = PathAt(m_rocketTime);
    const float fallenTo = b.z;
    if (b.z < 0.0f) b.z = 0.0f;
    SPRayQuery query;
    query.origin = a;
    query.direction = Vec3Normalize(b - a);
    query.distance = Vec3Length(b - a) + m_lookAhead;
    if (CrossRay(query, false)) {
        Strike(query, query.origin + query.direction * query.distance, m_launchDirection);
        return false;
    }
    FaceAlong(b - a);
    Smoke();
    SetPosition(b);
    UpdateTransform();
    if (fallenTo > 0.0f) return true;
    Burst(b, m_launchDirection);
    return false;
}

void CPRocket::Smoke() {
    for (int32_t puffs = 0; m_rocketTime - m_smokeTime >= m_smokeInterval; ++puffs) {
        if (puffs == kMaxPuffsPerFrame) {
            m_smokeTime = m_rocketTime;
            return;
        }
        const PVector3 at = PathAt(m_smokeTime);
        if (at.z >= kLowestPuff) EmitPuff(at);
        m_smokeTime += m_smokeInterval;
    }
}

TPtr<CPWeaponObject> CPSRocket::Clone() {
    TPtr<CPSRocket> clone(new CPSRocket(GetName()));
    CopyRocketTo(*clone);
    return clone;
}

void CPSRocket::Launch(const PVector3& position, const PVector3& direction, float, CPSmartPointer source, void*,
                       bool) {
    m_travelled = 0.0f;
    m_rocketTime = 0.0f;
    m_smokeTime = 0.0f;
    m_target = nullptr;
    CPWeaponObject::Launch(position, direction, m_damage, std::move(source), nullptr, false);
    m_launchDirection = Vec3Normalize(m_launchDirection);
}

bool CPSRocket::Update() {
    const PVector3 start = m_launchPosition;
    if (m_playerRocket) ChooseTarget();
    if (m_target) Steer();
    FaceAlong(m_launchDirection);
    m_rocketTime += kClockRate * g_frameDelta;
    SPRayQuery query;
    query.origin = m_launchPosition;
    query.direction = m_launchDirection;
    query.distance = kSeekLookAhead * (m_speed * g_frameDelta + m_lookAhead);
    const bool hit = CrossRay(query, true);
    const float step = query.distance / kSeekLookAhead - m_lookAhead;
    m_launchPosition += m_launchDirection * step;
    if (!hit && GetName() != "srocket3") Smoke(start, m_launchPosition);
    SetPosition(m_launchPosition);
    m_travelled += step;
    if (m_travelled > kRange) {
        m_target = nullptr;
        return false;
    }
    if (hit) {
        Strike(query, query.origin + query.direction * (query.distance / kSeekLookAhead), m_launchDirection);
        m_target = nullptr;
        return false;
    }
    UpdateTransform();
    return true;
}

void CPSRocket::ChooseTarget() {
    PVector3 line1;
    PVector3 line2;
    WedgeLines(m_launchPosition, m_launchDirection, kWedgeAngle, line1, line2);
    m_wedge.clear();
    GetWeaponWorld().CollectObjectsInWedge(line1, line2, m_wedge);
    bool keep = false;
    for (const TPtr<CPGameObject>& object : m_wedge) keep = keep || object == m_target;
    if (!keep) m_target = Nearest(m_wedge, m_launchPosition, kSeekBound);
    m_wedge.clear();
}

void CPSRocket::Steer() {
    const PVector3 toTarget = Vec3Normalize(m_target->GetPosition() - m_launchPosition);
    m_launchDirection = TurnToward(m_launchDirection, toTarget, kSeekTurn * g_frameDelta);
}

void CPSRocket::Smoke(const PVector3& from, const PVector3& to) {
    const float firstDue = m_rocketTime - m_smokeTime;
    for (int32_t puffs = 0; m_rocketTime - m_smokeTime >= m_smokeInterval; ++puffs) {
        if (puffs == kMaxPuffsPerFrame) {
            m_smokeTime = m_rocketTime;
            return;
        }
        const float f = firstDue > 0.0f ? 1.0f - (m_rocketTime - m_smokeTime) / firstDue : 0.0f;
        EmitPuff(from + (to - from) * f);
        m_smokeTime += m_smokeInterval;
    }
}
