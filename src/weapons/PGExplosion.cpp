#include "weapons/PGExplosion.h"

#include "core/PGlobalTimer.h"
#include "core/PTokenizer.h"
#include "platform/Random.h"
#include "math/PMathConstants.h"
#include "Render/PObjectLoader.h"
#include "Render/PParticleSpawnInfo.h"
#include "Render/PParticlesManager.h"
#include "weapons/WeaponMath.h"

namespace {

constexpr int32_t kDebrisLayer = 20;
constexpr float kPuffSize = 0.15f;
constexpr float kPuffLife = 0.3f;

}  // namespace

bool CPGExplosion::SetParams(const WeaponFields& fields) {
    CPObjectLoader* loader = GetObjectLoader();
    CPTokenizer models(fields[0], ",", true);
    std::string model;
    while (models.NextToken(model)) {
        TPtr<CPGameObject> debris = loader ? loader->LoadObject(model + ".rdf", kDebrisLayer) : nullptr;
        if (debris && AddChild(debris)) m_points.emplace_back();
    }
    return CPSExplosion::SetParams(WeaponFields(fields.begin() + 1, fields.end()));
}

TPtr<CPWeaponObject> CPGExplosion::Clone() {
    TPtr<CPGExplosion> clone(new CPGExplosion(GetName()));
    CopyParamsTo(*clone, m_points.size());
    clone->m_points.resize(m_points.size());
    return clone;
}

void CPGExplosion::Launch(const PVector3& position, const PVector3& direction, float damage, CPSmartPointer source,
                          void* extra, bool super) {
    CPSExplosion::Launch(position, direction, damage, std::move(source), extra, super);
    // The puffs of the first update are carried into the world from here.
    UpdateTransform();
    m_puffClock = 0.0f;
    for (size_t i = 0; i < m_points.size(); ++i) {
        SPDebrisPoint& point = m_points[i];
        for (float* value : {&point.spin.x, &point.spin.y, &point.spin.z}) *value = (platform::RandUnit() - 0.5f) * 10.0f;
        for (float* value : {&point.angles.x, &point.angles.y, &point.angles.z}) *value = (platform::RandUnit() - 0.5f) * kPi;
        point.position = {0.0f, 0.0f, 0.0f};
        const float speed = platform::RandUnit() * 3.0f + 2.5f;
        point.velocity = Vec3TransformNormal({speed, 0.0f, 0.0f}, RandomRotation());
        GetChildren()[i]->UpdateTransform();
    }
}

bool CPGExplosion::Update() {
    m_puffClock += g_frameDelta;
    const bool puffFrame = m_puffClock > kPuffInterval;
    if (puffFrame) m_puffClock = 0.0f;
    CPParticlesManager* particles = GetParticlesManager();
    CPParticleSpawnInfo puff;
    puff.name = "gib1";
    puff.size = kPuffSize;
    puff.life = kPuffLife;
    puff.fade = true;
    for (SPDebrisPoint& point : m_points) {
        point.angles += point.spin * g_frameDelta;
        point.position += point.velocity * g_frameDelta;
        if (!puffFrame || !particles) continue;
        puff.position = Vec3TransformCoord(point.position, GetWorld());
        particles->SpawnEffect(puff);
    }
    return CPSExplosion::Update();
}
