#include "weapons/PGib.h"

#include <algorithm>

#include "core/FieldNumbers.h"
#include "core/PGlobalTimer.h"
#include "core/Fields.h"
#include "core/TextHelpers.h"
#include "math/PMathConstants.h"
#include "physics/PPhysicData.h"
#include "physics/PPhysics.h"
#include "platform/Random.h"
#include "Render/PObjectLoader.h"
#include "Render/PParticleSpawnInfo.h"
#include "Render/PParticlesManager.h"
#include "weapons/WeaponMath.h"

namespace {

constexpr int32_t kActivePriority = 20;
constexpr float kThrow = 3.0f;
constexpr float kSpin = 0.1f;
// How far above its half height a piece starts.
constexpr float kLift = 0.01f;

}  // namespace

void CPDebris::Throw(const PVector3& position, const PVector3& direction) {
    SetPosition(position);
    UpdateTransform();
    Activate(kActivePriority);
    const TPtr<CPPhysicData>& physics = GetPhysicData();
    if (!physics) return;
    physics->AddToWorld();
    if (CPPhysics* world = GetPhysics()) world->TrackObject(TPtr<CPGameObject>(this));
    const float r1 = platform::RandUnit() * 2.0f * kSpin - kSpin;
    const float r2 = platform::RandUnit() * 2.0f * kSpin - kSpin;
    const float r3 = platform::RandUnit() * 2.0f * kSpin - kSpin;
    PushObject(*this, direction * kThrow, position + PVector3{r1, r2, r3});
}

bool CPDebris::Age() {
    if (m_elapsed > m_lifetime) {
        LeaveWorld();
        return false;
    }
    m_elapsed += g_frameDelta;
    return true;
}

void CPDebris::LeaveWorld() {
    Deactivate();
    if (const TPtr<CPPhysicData>& physics = GetPhysicData()) physics->RemoveFromWorld();
    if (CPPhysics* world = GetPhysics()) world->DeactivateObject(TPtr<CPGameObject>(this));
}

bool CPGib::SetParams(const WeaponFields& fields) {
    CPFieldNumbers numbers(fields);
    m_particleValue = numbers.Float(1);
    m_lifetime = numbers.Float(3);
    if (!AllNumbersFinite(numbers) || !LoadPhysicalModel(fields[0])) return false;
    m_particleNames = SplitFields(fields[2], ",");
    CPObjectLoader* loader = GetObjectLoader();
    if (TPtr<CPGameObject> trail = loader ? loader->CreateParticleSystemObject(m_particleNames, m_particleValue)
                                          : nullptr) {
        AddChild(trail);
    }
    return true;
}

TPtr<CPWeaponObject> CPGib::Clone() {
    TPtr<CPGib> clone(new CPGib(GetName()));
    CopySoundTo(*clone);
    clone->CopyFrom(TPtr<CPGameObject>(this));
    clone->m_lifetime = m_lifetime;
    clone->m_particleNames = m_particleNames;
    clone->m_particleValue = m_particleValue;
    return clone;
}

void CPGib::Launch(const PVector3& position, const PVector3& direction, float damage, CPSmartPointer source,
                   void* extra, bool super) {
    m_elapsed = 0.0f;
    CPWeaponObject::Launch(position, direction, damage, std::move(source), extra, super);
    Throw(position, direction);
}

bool CPGib1::SetParams(const WeaponFields& fields) {
    m_trail = fields[2];
    CPFieldNumbers numbers(fields);
    m_puffSize = numbers.Float(3);
    m_puffLife = numbers.Float(4);
    m_puffInterval = numbers.Float(5);
    m_variants = AtoI(fields[6]);
    m_lifetime = numbers.Float(7);
    if (!AllNumbersFinite(numbers)) return false;
    if (m_variants < 1) return RefuseDefinition("needs at least one puff variant");
    return LoadPhysicalModel(fields[0]);
}

TPtr<CPWeaponObject> CPGib1::Clone() {
    TPtr<CPGib1> clone(new CPGib1(GetName()));
    CopySoundTo(*clone);
    clone->CopyFrom(TPtr<CPGameObject>(this));
    clone->m_lifetime = m_lifetime;
    clone->m_puffLife = m_puffLife;
    clone->m_puffSize = m_puffSize;
    clone->m_puffInterval = m_puffInterval;
    clone->m_variants = m_variants;
    clone->m_trail = m_trail;
    return clone;
}

void CPGib1::Launch(const PVector3& position, const PVector3& direction, float damage, CPSmartPointer source, void*,
                    bool) {
    m_elapsed = 0.0f;
    m_puffClock = 0.0f;
    CPWeaponObject::Launch(position, direction, damage, std::move(source), nullptr, false);
    const float halfHeight = GetObb().GetHalfSize().z;
    PVector3 start = position;
    if (start.z < halfHeight) start.z = halfHeight + kLift;
    Throw(start, direction);
}

bool CPGib1::Update() {
    if (!Age()) return false;
    Puff();
    return true;
}

void CPGib1::Puff() {
    m_puffClock += g_frameDelta;
    if (m_puffClock < m_puffInterval) return;
    m_puffClock = 0.0f;
    CPParticlesManager* particles = GetParticlesManager();
    if (GetPosition().z < 0.0f || !particles) return;
    CPParticleSpawnInfo puff;
    puff.name = m_trail;
    puff.position = GetPosition();
    puff.size = m_puffSize * (1.0f + platform::RandUnit() * 0.2f);
    puff.life = m_puffLife * (1.0f + platform::RandUnit() * 0.2f);
    puff.fade = true;
    puff.velocity.x = static_cast<float>(platform::Rand() % m_variants);
    puff.acceleration.x = platform::RandUnit() * 2.0f * kPi;
    particles->SpawnEffect(puff);
}
