#include "weapons/PGauss.h"

#include <algorithm>

#include "core/FieldNumbers.h"
#include "core/PGlobalTimer.h"
#include "core/TextHelpers.h"
#include "Render/PRenderObject.h"
#include "weapons/WeaponQuad.h"
#include "weapons/WeaponWorld.h"

namespace {

// Objects a beam usually passes through in one flight (more only grow the list once).
constexpr size_t kExpectedStruck = 8;
// How far past a struck surface the head is put.
constexpr float kBeyondSurface = 0.01f;
// How many struck objects one segment test may look through before it gives up for the frame.
constexpr int32_t kMaxLookThrough = 4;

}  // namespace

CPGauss::CPGauss(const std::string& name) : CPWeaponObject(name) { m_struck.reserve(kExpectedStruck); }

bool CPGauss::SetParams(const WeaponFields& fields) {
    m_playerShot = !IsEnemyTag(fields[0]);
    CPFieldNumbers numbers(fields);
    m_speed = numbers.Float(1);
    m_definedDamage = numbers.Float(2);
    m_halfWidth = numbers.Float(3);
    const int32_t layer = AtoI(fields[6]);
    m_hitEffect = fields[7];
    if (!AllNumbersFinite(numbers)) return false;
    if (!(m_speed > 0.0f)) return RefuseDefinition("speed must be positive");
    BuildTexturedQuad(*GetRenderObject(), layer, fields[5], fields[4], {{{0.0f, 0.0f}, {1.0f, 0.0f}, {1.0f, 1.0f}, {0.0f, 1.0f}}});
    return CPWeaponObject::SetParams(fields);
}

TPtr<CPWeaponObject> CPGauss::Clone() {
    TPtr<CPGauss> clone(new CPGauss(GetName()));
    CopySoundTo(*clone);
    clone->CopyFrom(TPtr<CPGameObject>(this));
    clone->AdoptCopiedRenderObject();
    clone->m_speed = m_speed;
    clone->m_definedDamage = m_definedDamage;
    clone->m_hitEffect = m_hitEffect;
    clone->m_playerShot = m_playerShot;
    clone->m_halfWidth = m_halfWidth;
    return clone;
}

void CPGauss::Launch(const PVector3& position, const PVector3& direction, float damage, CPSmartPointer source,
                     void*, bool) {
    m_travelled = 0.0f;
    m_tailDistance = 0.0f;
    CPWeaponObject::Launch(position, direction, damage, std::move(source), nullptr, false);
    ResetQuadOwner(*this);
    m_launchDirection = Vec3Normalize(m_launchDirection);
    m_tail = position;
    m_state = kRunning;
    m_damage = damage >= 0.0f ? damage : m_definedDamage;
    m_struck.clear();
    std::vector<SPVertex>& vertices = GetRenderObject()->GetVertices();
    vertices[1].tex0.x = 1.0f;
    vertices[2].tex0.x = 1.0f;
}

bool CPGauss::Update() {
    if (m_state == kRunning) {
        Run();
        return true;
    }
    Close();
    if (m_tailDistance < m_travelled) return true;
    m_struck.clear();
    return false;
}

void CPGauss::Run() {
    const float step = m_speed * g_frameDelta;
    SPRayQuery query;
    query.origin = m_launchPosition;
    query.direction = m_launchDirection;
    query.distance = step;
    if (FindNewHit(query)) {
        Strike(query);
    } else {
        Advance(step);
        Draw();
    }
    if (m_travelled > kRange) {
        m_streakLength = m_travelled - m_tailDistance;
        m_state = kClosing;
        SpawnFollowUp(m_hitEffect, m_launchPosition, {0.0f, 0.0f, 1.0f}, -1.0f, false);
    }
}

bool CPGauss::FindNewHit(SPRayQuery& query) {
    // The head stands just inside the last object it struck, and a segment that starts inside a
    // box meets it at once: what the beam has struck is looked through, one object at a time.
    query.skip = m_struck.empty() ? nullptr : m_struck.back().Get();
    const float length = query.distance;
    IPWeaponWorld& world = GetWeaponWorld();
    for (int32_t look = 0; look < kMaxLookThrough; ++look) {
        const bool hit = m_playerShot ? world.CrossRayNoPlayer(query) : world.CrossRay(query, true);
        if (!hit) return false;
        if (!WasStruck(query.hitOwner.Get())) return true;
        query.skip = query.hitOwner.Get();
        query.distance = length;
        query.hitObject = nullptr;
        query.hitOwner = nullptr;
    }
    return false;
}

bool CPGauss::WasStruck(const CPGameObject* object) const {
    return std::any_of(m_struck.begin(), m_struck.end(),
                       [object](const TPtr<CPGameObject>& struck) { return struck.Get() == object; });
}

void CPGauss::Strike(const SPRayQuery& query) {
    const float distance = query.distance;
    m_travelled += distance;
    m_tailDistance += kTailShare * distance;
    m_launchPosition += m_launchDirection * (distance + kBeyondSurface);
    m_tail += m_launchDirection * (kTailShare * distance);
    Draw();
    const PVector3 normal = PlaneNormal(query.hitPlane);
    if (CPGameObject* root = query.hitOwner.Get()) {
        m_struck.push_back(query.hitOwner);
        root->Damage(query.hitPoint, Vec3Normalize({normal.x, normal.y, 0.0f}), m_damage, false, false, false);
    }
    SpawnFollowUp(m_hitEffect, m_launchPosition, normal, -1.0f, false);
}

void CPGauss::Advance(float distance) {
    m_travelled += distance;
    m_tailDistance += kTailShare * distance;
    m_launchPosition += m_launchDirection * distance;
    m_tail += m_launchDirection * (kTailShare * distance);
}

void CPGauss::Close() {
    const float step = kTailShare * m_speed * g_frameDelta;
    m_tailDistance = std::min(m_tailDistance + step, m_travelled);
    const float u = m_streakLength > 0.0f ? (m_travelled - m_tailDistance) / m_streakLength : 0.0f;
    std::vector<SPVertex>& vertices = GetRenderObject()->GetVertices();
    vertices[1].tex0.x = u;
    vertices[2].tex0.x = u;
    m_tail += m_launchDirection * step;
    Draw();
}

void CPGauss::Draw() {
    const PVector3& head = m_launchPosition;
    const PVector3 side =
        Vec3Normalize(Vec3Cross(head - m_tail, GetWeaponWorld().GetEye() - m_tail)) * m_halfWidth;
    PlaceQuad(*GetRenderObject(), *this, {m_tail + side, head + side, head - side, m_tail - side});
}
