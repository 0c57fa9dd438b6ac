#include "weapons/PSparks.h"

#include <cmath>

#include "core/FieldNumbers.h"
#include "core/TextHelpers.h"
#include "math/PMathConstants.h"
#include "platform/Random.h"
#include "Render/PParticleSpawnInfo.h"
#include "Render/PParticlesManager.h"
#include "weapons/WeaponMath.h"

namespace {

constexpr float kGravity = -9.0f;

}  // namespace

TPtr<CPWeaponObject> CPSparks::Clone() {
    TPtr<CPSparks> clone(new CPSparks(GetName()));
    CopySoundTo(*clone);
    clone->m_template = m_template;
    clone->m_count = m_count;
    clone->m_size = m_size;
    clone->m_speed = m_speed;
    clone->m_spread = m_spread;
    clone->m_fade = m_fade;
    clone->m_lifetime = m_lifetime;
    return clone;
}

bool CPSparks::SetParams(const WeaponFields& fields) {
    m_template = fields[0];
    CPFieldNumbers numbers(fields);
    m_count = AtoI(fields[1]);
    m_size = numbers.Float(2);
    m_speed = numbers.Float(3);
    m_spread = numbers.Float(4);
    m_fade = AtoI(fields[5]) != 0;
    m_lifetime = numbers.Float(6);
    if (!AllNumbersFinite(numbers)) return false;
    if (!IsLaunchParticleCount(m_count)) {
        return RefuseDefinition("the count must be 0 to " + std::to_string(kMaxLaunchParticles));
    }
    return CPWeaponObject::SetParams(fields);
}

void CPSparks::Launch(const PVector3& position, const PVector3& direction, float damage, CPSmartPointer source,
                      void*, bool) {
    CPWeaponObject::Launch(position, direction, damage, std::move(source), nullptr, false);
    m_launchDirection = Vec3Normalize(m_launchDirection);
    CPParticlesManager* particles = GetParticlesManager();
    if (!particles) return;
    const PQuaternion cone = TurnOnto({0.0f, 0.0f, 1.0f}, m_launchDirection);
    CPParticleSpawnInfo spark;
    spark.name = m_template;
    spark.position = position;
    spark.size = m_size;
    spark.fade = m_fade;
    spark.acceleration = {0.0f, 0.0f, kGravity};
    for (int32_t i = 0; i < m_count; ++i) {
        spark.life = (platform::RandUnit() * 0.4f + 1.0f) * m_lifetime;
        const float yaw = static_cast<float>(platform::Rand() % 360) * kPi / 180.0f;
        const float pitch = platform::RandUnit() * m_spread * kPi / 180.0f;
        const float speed = (platform::RandUnit() * 0.4f + 1.0f) * m_speed;
        const PVector3 velocity{std::cos(yaw) * std::sin(pitch) * speed, std::sin(yaw) * std::sin(pitch) * speed,
                                std::cos(pitch) * speed};
        spark.velocity = Rotate(velocity, cone);
        particles->SpawnEffect(spark);
    }
}
