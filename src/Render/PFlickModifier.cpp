#include "Render/PFlickModifier.h"

#include <cmath>
#include <numbers>

#include "Render/PVertex.h"
#include "core/PGlobalTimer.h"
#include "platform/Random.h"

namespace {

// The same angle within one turn; 0 for an angle that is not finite.
double WrapPhase(double radians)
{
    return std::isfinite(radians) ? std::fmod(radians, 2.0 * std::numbers::pi) : 0.0;
}

}  // namespace

CPFlickModifier::CPFlickModifier(float frequency, int32_t minimum, int32_t maximum)
    : m_frequency(frequency), m_phase(WrapPhase(platform::Rand() * m_frequency))
{
    const float low = static_cast<float>(static_cast<uint8_t>(minimum));
    const float high = static_cast<float>(static_cast<uint8_t>(maximum));
    m_amplitude = (high - low) * 0.5f;
    // The exact midpoint, so the truncated value spans [minimum, maximum] and never leaves it.
    m_centre = low + m_amplitude;
}

void CPFlickModifier::Update(float dt)
{
    m_phase = WrapPhase(m_phase + dt * m_frequency);
    m_flicker = static_cast<int32_t>(static_cast<float>(std::sin(m_phase)) * m_amplitude + m_centre);
}

void CPFlickModifier::Apply(SPVertex* destination, const SPVertex* source, int32_t n)
{
    Update(g_frameDelta);
    for (int32_t i = 0; i < n; ++i) {
        destination[i] = source[i];
        destination[i].tex1.x = (source[i].normal.x + 1.0f) * 0.5f;
        destination[i].tex1.y = (source[i].normal.y + 1.0f) * 0.5f;
    }
}

std::unique_ptr<IPTexModifier> CPFlickModifier::Clone() const { return std::make_unique<CPFlickModifier>(*this); }
