#include "weapons/PMine.h"

#include <algorithm>

#include "core/FieldNumbers.h"
#include "core/PGlobalTimer.h"
#include "game/PGameData.h"
#include "physics/PPhysicData.h"
#include "physics/PPhysics.h"
#include "Render/PRender.h"
#include "Render/PRenderBlock.h"
#include "weapons/WeaponWorld.h"

namespace {

// The throw: this many times the launch direction, as an impulse.
constexpr float kThrow = 15.0f;

}  // namespace

bool CPMine::SetParams(const WeaponFields& fields) {
    CPFieldNumbers numbers(fields);
    m_lifetime = numbers.Float(1);
    if (!AllNumbersFinite(numbers)) return false;
    const CPGameData* data = GetGameData();
    const CPMineInfo* info = data ? data->FindMineInfo(GetName()) : nullptr;
    if (!info) return RefuseDefinition("no mine layer of that name in m_info.dat");
    m_info = *info;
    if (!LoadPhysicalModel(GetName() + ".rdf")) return false;
    m_explosion = fields[0];
    m_timerMode = fields[2] == "timer";
    return CPWeaponObject::SetParams(fields);
}

TPtr<CPWeaponObject> CPMine::Clone() {
    TPtr<CPMine> clone(new CPMine(GetName()));
    CopySoundTo(*clone);
    clone->CopyFrom(TPtr<CPGameObject>(this));
    clone->AdoptCopiedRenderObject();
    clone->m_info = m_info;
    clone->m_explosion = m_explosion;
    clone->m_lifetime = m_lifetime;
    clone->m_timerMode = m_timerMode;
    return clone;
}

void CPMine::Launch(const PVector3& position, const PVector3& direction, float, CPSmartPointer, void*, bool) {
    SetPosition(position);
    SetRotation(QuaternionIdentity());
    UpdateTransform();
    m_elapsed = 0.0f;
    const TPtr<CPPhysicData>& physics = GetPhysicData();
    if (!physics) return;
    physics->AddToWorld();
    if (CPPhysics* world = GetPhysics()) world->TrackObject(TPtr<CPGameObject>(this));
    PushObject(*this, direction * kThrow, position);
}

bool CPMine::Update() {
    if (m_elapsed >= m_lifetime) {
        if (m_timerMode) Explode({0.0f, 0.0f, 1.0f});
        LeaveWorld();
        return false;
    }
    m_elapsed += g_frameDelta;
    DrawShadow();
    if (EnemyWithinReach()) {
        Explode({0.0f, 0.0f, 5.0f});
        LeaveWorld();
        return false;
    }
    return true;
}

void CPMine::DrawShadow() {
    if (!IsVisible() || !CastsShadow() || !GetShadowMaterial()) return;
    CPRender* render = GetRender();
    const TPtr<CPRenderBlock> block = render ? render->GetRenderBlock() : nullptr;
    if (block) block->AddObjectWithMaterial(GetShadowMaterial(), TPtr<CPGameObject>(this));
}

bool CPMine::EnemyWithinReach() {
    m_found.clear();
    GetWeaponWorld().QueryObjects(GetPosition(), m_info.param8, m_found, false);
    const bool enemy = std::any_of(m_found.begin(), m_found.end(),
                                   [](const TPtr<CPGameObject>& object) { return object->GetEntity() != nullptr; });
    m_found.clear();
    return enemy;
}

void CPMine::Explode(const PVector3& direction) { SpawnFollowUp(m_explosion, GetPosition(), direction, -1.0f, false); }

void CPMine::LeaveWorld() {
    if (const TPtr<CPPhysicData>& physics = GetPhysicData()) physics->RemoveFromWorld();
    if (CPPhysics* world = GetPhysics()) world->DeactivateObject(TPtr<CPGameObject>(this));
}
