#include "Render/PFadeModifier.h"

#include <algorithm>

#include "Render/PVertex.h"
#include "core/PGlobalTimer.h"

namespace {

constexpr float kOpaque = 255.0f;

}  // namespace

CPFadeModifier::CPFadeModifier(float rate) : m_rate(rate) {}

void CPFadeModifier::Update(float dt)
{
    m_alpha = std::clamp(m_alpha - dt * m_rate, 0.0f, kOpaque);
}

void CPFadeModifier::Apply(SPVertex* destination, const SPVertex* source, int32_t n)
{
    Update(g_frameDelta);
    const uint32_t colour = static_cast<uint32_t>(m_alpha) << 24 | 0x00FFFFFFu;
    for (int32_t i = 0; i < n; ++i) {
        destination[i] = source[i];
        destination[i].diffuse = colour;
    }
}

std::unique_ptr<IPTexModifier> CPFadeModifier::Clone() const { return std::make_unique<CPFadeModifier>(*this); }

void CPFadeModifier::Reset() { m_alpha = kOpaque; }
