#include "Render/PParticleSystem.h"

#include <cmath>
#include <memory>
#include <utility>

#include "Render/PGameObject.h"
#include "Render/PParticlesManager.h"
#include "core/GeometryHelpers.h"
#include "core/PGlobalTimer.h"
#include "platform/Random.h"

namespace {

constexpr float kDegrees = 0.017453292f;


// The turn that brings +z onto the (unit) direction.
PMatrix ConeRotation(const PVector3& d) {
    const PVector3 axis{-d.y, d.x, 0.0f};
    if (axis.x == 0.0f && axis.y == 0.0f) {
        // Along the z axis: the axis of the turn is undefined; +z needs none, -z half a turn.
        return d.z < 0.0f ? MatrixRotationX(3.14159265f) : MatrixIdentity();
    }
    return MatrixRotationAxis(axis, ClampedAcos(d.z));
}

// The direction made unit length; one of zero length, or not a number, shoots along +z.
PVector3 NormalisedDirection(const PVector3& d) {
    const PVector3 unit = Vec3Normalize(d);
    const bool usable = std::isfinite(unit.x) && std::isfinite(unit.y) && std::isfinite(unit.z) &&
                        (unit.x != 0.0f || unit.y != 0.0f || unit.z != 0.0f);
    return usable ? unit : PVector3{0.0f, 0.0f, 1.0f};
}

}  // namespace

CPParticleSystem::CPParticleSystem(CPGameObject* owner, std::vector<std::string> emitterNames)
    : m_emitterNames(std::move(emitterNames)), m_owner(owner) {
    CPParticlesManager* manager = GetParticlesManager();
    if (!manager) return;
    for (const std::string& name : m_emitterNames) {
        if (SPEmitterInfo* emitter = manager->FindEmitter(name)) {
            emitter->direction = NormalisedDirection(emitter->direction);
            m_emitters.push_back(*emitter);
        }
    }
}

CPParticleSystem::CPParticleSystem(CPGameObject* owner, const std::string& emitterName)
    : CPParticleSystem(owner, std::vector<std::string>{emitterName}) {}

bool CPParticleSystem::Start() {
    m_accumulator = 0.0f;
    m_age = 0.0f;
    m_burstTimer = 1.0f;
    m_burstCount = 0;
    return IPTask::Start();
}

TPtr<IPTask> CPParticleSystem::Clone() const { return CloneSystem(); }

TPtr<CPParticleSystem> CPParticleSystem::CloneSystem() const {
    TPtr<CPParticleSystem> copy(new CPParticleSystem(m_owner, m_emitterNames));
    copy->m_emitters = m_emitters;
    copy->m_interval = m_interval;
    copy->m_lifetime = m_lifetime;
    copy->m_extra = m_extra;
    copy->m_burstTimer = 1.0f;
    return copy;
}

bool CPParticleSystem::IsCounting() const {
    if (!m_owner) return true;
    const TPtr<CPGameObject> root = m_owner->GetRoot();
    return !(root && root->GetDamageClass() == CPGameObject::kDestructible && root->GetHealth() > 0.0f);
}

void CPParticleSystem::Update() {
    const float before = m_accumulator;
    m_accumulator += g_frameDelta;
    const bool counting = IsCounting();
    for (int32_t emissions = 0; m_accumulator > m_interval && m_accumulator > 0.0f; ++emissions) {
        // An interval of 0 or less emits once per frame instead of without end; one so small that
        // the frame holds more emissions than the limit drops the rest of the frame's time.
        const bool last = emissions + 1 >= kMaxEmissionsPerFrame;
        const float step = m_interval > 0.0f && !last ? m_interval : m_accumulator;
        m_accumulator -= step;
        if (counting) m_age += step;
        m_burstTimer += step;
        Emit();
        if (m_lifetime > 0.0f && m_age > m_lifetime && counting) Stop();
    }
    if (m_burnOut) Burst();
    if (counting) m_age += m_accumulator - before;
}

void CPParticleSystem::Burst() {
    const float delay = (platform::RandUnit() + 1.0f) * 0.1f;
    if (!(delay < m_burstTimer) || m_burstCount >= 2 + platform::Rand() % 2) return;
    const TPtr<CPGameObject> root = m_owner ? m_owner->GetRoot() : nullptr;
    if (root) root->SecondaryExplosion();
    m_burstTimer = 0.0f;
    if (root) root->Sink();
    ++m_burstCount;
}

void CPParticleSystem::Emit() {
    CPParticlesManager* manager = GetParticlesManager();
    if (m_emitters.empty() || !manager) return;
    BuildRequest(m_emitters.front(), true, m_request);
    CPParticleSpawnInfo* tail = &m_request;
    for (size_t i = 1; i < m_emitters.size(); ++i) {
        tail->next = std::make_unique<CPParticleSpawnInfo>();
        tail = tail->next.get();
        BuildRequest(m_emitters[i], false, *tail);
    }
    manager->SpawnEffect(m_request);
    m_request.next.reset();
}

void CPParticleSystem::BuildRequest(const SPEmitterInfo& emitter, bool first, CPParticleSpawnInfo& request) const {
    request.name = emitter.effect;
    const PVector3& jitter = emitter.jitter;
    const float x = platform::RandUnit() * 2.0f * jitter.x - jitter.x;
    const float y = platform::RandUnit() * 2.0f * jitter.y - jitter.y;
    const float z = platform::RandUnit() * 2.0f * jitter.z - jitter.z;
    request.position = {x, y, z};
    const PMatrix& world = m_owner ? m_owner->GetWorld() : MatrixIdentity();
    if (first) request.position += PVector3{world.m[3][0], world.m[3][1], world.m[3][2]};
    const float azimuth = static_cast<float>(platform::Rand() % 360) * kDegrees;
    // A spread below 2 has no whole degree in its half: it shoots straight.
    const int32_t halfSpread = emitter.spread / 2;
    const float tilt = halfSpread > 0 ? static_cast<float>(platform::Rand() % halfSpread) * kDegrees : 0.0f;
    const float speed = emitter.speed;
    PVector3 v{std::cos(azimuth) * std::sin(tilt) * speed, std::sin(azimuth) * std::sin(tilt) * speed,
               std::cos(tilt) * speed};
    v = Vec3TransformCoord(v, ConeRotation(emitter.direction));
    request.velocity = Vec3TransformNormal(v, world);
    request.acceleration = emitter.acceleration;
    request.size = emitter.size;
    request.growth = emitter.growth;
    request.life = emitter.life;
    request.fade = emitter.fade;
    request.next.reset();
    request.callback = nullptr;
    request.user.Reset();
}
