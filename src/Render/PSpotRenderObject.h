#pragma once
#include <array>
#include <cstdint>
#include <vector>

#include "Render/PParticleRenderObject.h"

// The render object of one spot template (Data\spots.dat): flat quads lying on the ground at
// height 0.5, for marks that fade and disappear. Each spot's quad is prepared once when it is
// added and only recoloured per frame. Spots do not move; they are removed at the end of their
// life or as soon as they leave the square of 160 units around the view camera's eye.
//
// A spot's record (CPParticleSpawnInfo) gives its centre in position x and y, its texture frame
// in velocity x and its turn about the vertical axis in velocity z.
class CPSpotRenderObject : public CPParticleRenderObject {
public:
    // Half the side of the square around the eye in which spots stay.
    static constexpr float kKeepDistance = 160.0f;

    // Indices b, b + 1, b + 2, b, b + 2, b + 3 for each spot's prepared quad.
    void WriteGeometry(SPVertex* vertices, uint16_t* indices, uint16_t base) override;
    void Update(float dt) override;
    // Adds the spot (AddSpot).
    void AddParticle(SPParticle particle) override { AddSpot(std::move(particle)); }
    void AddSpot(SPParticle particle);
    void Clear() override;

    const std::vector<std::array<SPVertex, 4>>& GetQuads() const { return m_quads; }

private:
    std::vector<std::array<SPVertex, 4>> m_quads;
};
