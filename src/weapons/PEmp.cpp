#include "weapons/PEmp.h"

#include <algorithm>

#include "core/FieldNumbers.h"
#include "core/PGlobalTimer.h"
#include "core/PTokenizer.h"
#include "Render/PRender.h"
#include "weapons/WeaponWorld.h"

namespace {

// The light colour of the definition is scaled up by this much.
constexpr float kLightGain = 20.0f;
// The light reaches this many radii (the prototype's until its first launch sets its own).
constexpr float kPrototypeLightReach = 3.0f;
constexpr float kLightReach = 30.0f;

}  // namespace

bool CPEmp::SetParams(const WeaponFields& fields) {
    LoadModel(fields[0]);
    CPFieldNumbers numbers(fields);
    m_strength = numbers.Float(1);
    std::vector<std::string> channels;
    CPTokenizer tokens(fields[2], ",", true);
    for (std::string channel; channels.size() < 3 && tokens.NextToken(channel);) channels.push_back(channel);
    CPFieldNumbers channelNumbers(channels);
    std::array<float, 3> colour{};
    for (size_t i = 0; i < colour.size(); ++i) colour[i] = channelNumbers.Float(i) * kLightGain;
    m_radius = numbers.Float(3);
    m_lifetime = numbers.Float(4);
    if (!AllNumbersFinite(numbers) || !AllNumbersFinite(channelNumbers)) return false;
    const platform::gfx::ColorValue lit{colour[0], colour[1], colour[2], 1.0f};
    m_light = {};
    m_light.type = platform::gfx::LightType::Point;
    m_light.diffuse = lit;
    m_light.specular = lit;
    m_light.attenuation1 = 0.5f;
    m_light.range = kPrototypeLightReach * m_radius;
    return CPWeaponObject::SetParams(fields);
}

TPtr<CPWeaponObject> CPEmp::Clone() {
    TPtr<CPEmp> clone(new CPEmp(GetName()));
    CopySoundTo(*clone);
    clone->CopyFrom(TPtr<CPGameObject>(this));
    clone->AdoptCopiedRenderObject();
    clone->m_strength = m_strength;
    clone->m_light = m_light;
    clone->m_lifetime = m_lifetime;
    clone->m_radius = m_radius;
    return clone;
}

void CPEmp::Launch(const PVector3& position, const PVector3& direction, float damage, CPSmartPointer, void*,
                   bool) {
    m_elapsed = 0.0f;
    SetPosition(position);
    UpdateTransform();
    m_light.range = kLightReach * m_radius;
    CPWeaponObject::Launch(position, direction, damage, nullptr, nullptr, false);
    DamageSurroundings();
    SPAnimationRequest blast;
    blast.name = "exp";
    blast.speed = 1.5f;
    blast.loops = 1;
    PlayAnimation(blast, true);
    m_light.position = position + direction * 0.5f;
}

void CPEmp::DamageSurroundings() {
    const PVector3 centre = GetPosition();
    m_found.clear();
    GetWeaponWorld().QueryObjects(centre, m_radius, m_found, false);
    for (const TPtr<CPGameObject>& object : m_found) {
        const PVector3 offset = object->GetPosition() - centre;
        const float amount = std::max(0.0f, (m_radius - Vec3Length(offset)) * m_strength);
        const PVector3 away = Vec3Normalize({offset.x, offset.y, 0.0f});
        object->Damage(object->GetPosition(), -away, amount, false, false, false);
    }
    m_found.clear();
}

bool CPEmp::Update() {
    if (CPRender* render = GetRender()) render->AddLight(m_light);
    m_elapsed += g_frameDelta;
    return m_elapsed <= m_lifetime;
}
