#include "weapons/PSplash.h"

#include "core/FieldNumbers.h"
#include "core/TextHelpers.h"
#include "math/PMathConstants.h"
#include "platform/Random.h"
#include "Render/PParticleSpawnInfo.h"
#include "Render/PParticlesManager.h"
#include "weapons/WeaponMath.h"

namespace {

constexpr float kGravity = -9.0f;
// The longest streak, world units.
constexpr float kStreakLength = 5.0f;
// Ground-spot variants of a splash template.
constexpr int kSpotVariants = 4;

}  // namespace

TPtr<CPWeaponObject> CPSplash::Clone() {
    TPtr<CPSplash> clone(new CPSplash(GetName()));
    CopySoundTo(*clone);
    clone->m_template = m_template;
    clone->m_secondTemplate = m_secondTemplate;
    clone->m_streaks = m_streaks;
    clone->m_scaleMin = m_scaleMin;
    clone->m_scaleMax = m_scaleMax;
    clone->m_spread = m_spread;
    return clone;
}

bool CPSplash::SetParams(const WeaponFields& fields) {
    m_template = fields[0];
    m_secondTemplate = fields[1];
    CPFieldNumbers numbers(fields);
    m_streaks = AtoI(fields[2]);
    m_scaleMin = numbers.Float(3);
    m_scaleMax = numbers.Float(4);
    m_spread = numbers.Float(5);
    if (!AllNumbersFinite(numbers)) return false;
    if (m_streaks < 0 || m_streaks > kMaxStreaks) {
        return RefuseDefinition("the streaks must be 0 to " + std::to_string(kMaxStreaks));
    }
    return true;
}

void CPSplash::Launch(const PVector3& position, const PVector3& direction, float damage, CPSmartPointer source,
                      void*, bool) {
    CPWeaponObject::Launch(position, direction, damage, std::move(source), nullptr, false);
    const PVector3 n = Vec3Normalize(direction);
    for (int32_t i = 0; i < m_streaks; ++i) LayStreak(position, n);
}

void CPSplash::LayStreak(const PVector3& position, const PVector3& direction) {
    CPParticlesManager* particles = GetParticlesManager();
    CPParticleSpawnInfo spot;
    spot.name = m_template;
    spot.life = (platform::RandUnit() + 1.0f) * 2.0f;
    spot.fade = true;
    spot.acceleration = {0.0f, 0.0f, kGravity};
    spot.position = position;
    const float scale = platform::RandUnit() * (m_scaleMax - m_scaleMin) + m_scaleMin;
    const float turn = (platform::RandUnit() * m_spread - m_spread / 2.0f) * kPi / 180.0f;
    const PVector3 along = TurnAboutZ(direction, turn);
    const float length = platform::RandUnit() * kStreakLength;
    if (!(m_scaleMax > 0.0f)) return;
    float walked = 0.0f;
    for (int32_t spots = 0; walked < length && spots < kMaxSpotsPerStreak; ++spots) {
        const float step = platform::RandUnit() * m_scaleMax;
        spot.position += along * step;
        spot.velocity = {static_cast<float>(platform::Rand() % kSpotVariants), 0.0f, platform::RandUnit() * 2.0f * kPi};
        spot.size = scale * (walked + length) / length;
        if (particles) particles->SpawnEffect(spot);
        walked += step;
    }
}
