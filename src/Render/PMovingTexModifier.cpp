#include "Render/PMovingTexModifier.h"

#include <cmath>

#include "Render/PVertex.h"
#include "core/PGlobalTimer.h"
#include "platform/Random.h"

float WrapTextureOffset(float offset)
{
    if (!std::isfinite(offset)) return 0.0f;
    if (offset > 1.0f) offset -= std::ceil(offset - 1.0f);
    if (offset < 0.0f) offset += std::ceil(-offset);
    return offset;
}

CPMovingTexModifier::CPMovingTexModifier(float speedU, float speedV) : m_speedU(speedU), m_speedV(speedV)
{
    const float phase = static_cast<float>(platform::Rand());
    m_offsetU = phase * speedU;
    m_offsetV = phase * speedV;
}

void CPMovingTexModifier::Update(float dt)
{
    m_offsetU = WrapTextureOffset(m_offsetU + dt * m_speedU);
    m_offsetV = WrapTextureOffset(m_offsetV + dt * m_speedV);
}

void CPMovingTexModifier::Apply(SPVertex* destination, const SPVertex* source, int32_t n)
{
    Update(g_frameDelta);
    for (int32_t i = 0; i < n; ++i) {
        destination[i] = source[i];
        destination[i].tex0.x += m_offsetU;
        destination[i].tex0.y += m_offsetV;
    }
}

std::unique_ptr<IPTexModifier> CPMovingTexModifier::Clone() const
{
    return std::make_unique<CPMovingTexModifier>(*this);
}
