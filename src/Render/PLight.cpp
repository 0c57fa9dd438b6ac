#include "Render/PLight.h"

#include "Render/PGameObject.h"

CPLight::CPLight() = default;

int32_t CPLight::GetSize() const { return sizeof(*this); }

std::string CPLight::GetClassName() const { return "CPLight"; }

const platform::gfx::Light& CPLight::GetLight()
{
    if (m_followed) {
        const PMatrix& world = m_followed->GetWorld();
        m_light.position = {world.m[3][0], world.m[3][1], world.m[3][2]};
    }
    return m_light;
}
