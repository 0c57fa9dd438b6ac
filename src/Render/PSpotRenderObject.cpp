#include "Render/PSpotRenderObject.h"

#include <algorithm>
#include <cmath>
#include <utility>

#include "Render/ViewCamera.h"

namespace {

// The frame a spot asks for, held within the frames there are.
int32_t SpotFrame(float requested, int32_t count) {
    if (!(requested > 0.0f)) return 0;
    return requested >= static_cast<float>(count) ? count - 1 : static_cast<int32_t>(requested);
}

}  // namespace

void CPSpotRenderObject::AddSpot(SPParticle particle) {
    if (ParticleCount() >= kMaxParticles) return;
    const PMatrix t = MatrixRotationZ(particle.velocity.z) *
                      MatrixTranslation(particle.position.x, particle.position.y, 0.0f);
    const float s = particle.size;
    float u = 0.0f;
    float v = 0.0f;
    float width = 1.0f;
    float height = 1.0f;
    if (IsAnimated()) {
        const int32_t k = SpotFrame(particle.velocity.x, GetFrameCount());
        u = FrameU(k);
        v = FrameV(k);
        width = FrameWidth();
        height = FrameHeight();
    }
    const float corners[4][4] = {
        {-s, -s, u, v}, {s, -s, u + width, v}, {s, s, u + width, v + height}, {-s, s, u, v + height}};
    std::array<SPVertex, 4> quad{};
    for (int c = 0; c < 4; ++c) {
        SPVertex& vertex = quad[static_cast<size_t>(c)];
        vertex.position = Vec3TransformCoord({corners[c][0], corners[c][1], 0.5f}, t);
        vertex.normal = {0.0f, 0.0f, 1.0f};
        vertex.tex0 = {corners[c][2], corners[c][3]};
    }
    m_quads.push_back(quad);
    m_particles.push_back(std::move(particle));
    m_active = true;
}

void CPSpotRenderObject::Update(float dt) {
    const PVector3& eye = GetViewCamera().GetEye();
    size_t kept = 0;
    KeepParticles([&](size_t i) {
        SPParticle& spot = m_particles[i];
        const bool near = std::fabs(spot.position.x - eye.x) <= kKeepDistance &&
                          std::fabs(spot.position.y - eye.y) <= kKeepDistance;
        if (!near || spot.age > spot.life) return false;
        spot.age += dt;
        m_quads[kept++] = m_quads[i];
        return true;
    });
    m_quads.resize(kept);
}

void CPSpotRenderObject::Clear() {
    m_quads.clear();
    CPParticleRenderObject::Clear();
}

void CPSpotRenderObject::WriteGeometry(SPVertex* vertices, uint16_t* indices, uint16_t base) {
    for (size_t n = 0; n < m_particles.size(); ++n) {
        const SPParticle& spot = m_particles[n];
        const uint32_t colour = SpotColour(spot.age, spot.life, spot.fade);
        for (size_t c = 0; c < 4; ++c) {
            vertices[4 * n + c] = m_quads[n][c];
            vertices[4 * n + c].diffuse = colour;
        }
        const auto b = static_cast<uint16_t>(base + 4 * n);
        const uint16_t order[6] = {0, 1, 2, 0, 2, 3};
        for (size_t k = 0; k < 6; ++k) indices[6 * n + k] = static_cast<uint16_t>(b + order[k]);
    }
}
