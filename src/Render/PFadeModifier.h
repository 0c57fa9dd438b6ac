#pragma once
#include "Render/PTexModifier.h"

// Fades a mesh out: every vertex becomes white with an alpha that falls by rate per second from
// 255 and stops at 0 (a negative rate raises it back, at most to 255).
class CPFadeModifier : public IPTexModifier {
public:
    // rate in alpha units per second.
    explicit CPFadeModifier(float rate);

    void Update(float dt) override;
    void Apply(SPVertex* destination, const SPVertex* source, int32_t n) override;
    std::unique_ptr<IPTexModifier> Clone() const override;
    // Opaque again.
    void Reset() override;

    float GetRate() const { return m_rate; }
    float GetAlpha() const { return m_alpha; }

private:
    float m_rate;
    float m_alpha = 255.0f;
};
