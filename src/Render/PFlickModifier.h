#pragma once
#include <cstdint>

#include "Render/PTexModifier.h"

// Maps a mesh's normals into its second texture coordinates ((x + 1) / 2, (y + 1) / 2), so a
// texture on stage 1 follows the surface's orientation, and keeps a flicker value that
// oscillates between the minimum and the maximum at the given frequency from a random phase.
class CPFlickModifier : public IPTexModifier {
public:
    // frequency in radians per second; minimum and maximum are bytes (the low 8 bits count).
    // Draws one random number for the starting phase. The phase is kept within one turn, so the
    // value stays within its range for any finite frequency and frame time.
    CPFlickModifier(float frequency, int32_t minimum, int32_t maximum);

    void Update(float dt) override;
    void Apply(SPVertex* destination, const SPVertex* source, int32_t n) override;
    std::unique_ptr<IPTexModifier> Clone() const override;

    // The current flicker value: all 24 colour bits until the first update, then within
    // [minimum, maximum].
    int32_t GetFlicker() const { return m_flicker; }

private:
    double m_frequency;
    double m_phase;  // radians, within one turn
    float m_centre;
    float m_amplitude;
    int32_t m_flicker = 0x00FFFFFF;
};
