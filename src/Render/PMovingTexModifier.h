#pragma once
#include "Render/PTexModifier.h"

// Scrolls a mesh's first texture coordinates by a constant speed. Each instance starts at a
// random phase; the offsets are kept within [0, 1].
class CPMovingTexModifier : public IPTexModifier {
public:
    // Speeds in texture units per second. Draws one random number for the starting phase.
    CPMovingTexModifier(float speedU, float speedV);

    void Update(float dt) override;
    void Apply(SPVertex* destination, const SPVertex* source, int32_t n) override;
    std::unique_ptr<IPTexModifier> Clone() const override;

    float GetOffsetU() const { return m_offsetU; }
    float GetOffsetV() const { return m_offsetV; }

private:
    float m_speedU;
    float m_speedV;
    float m_offsetU;
    float m_offsetV;
};

// Brings an offset into [0, 1] as if 1 were subtracted while it is above 1 and then added while it
// is below 0: 2.3 gives 0.3, 1 stays 1, 2 gives 1, -0.25 gives 0.75. It takes the same time for
// any value; a value that is not finite gives 0.
float WrapTextureOffset(float offset);
