#pragma once
#include <cstdint>
#include <vector>

#include "Render/PParticle.h"
#include "Render/PRenderObject.h"
#include "Render/ParticleColour.h"

// The render object of one particle-effect template (Data\particles.dat): it holds every live
// particle of the template, moves them each frame and writes them as quads facing the view
// camera (ViewCamera.h), so a template costs one batch however many particles it has. The
// particle manager adds particles and updates it; the render block writes it.
//
// A texture of columns × rows frames (numbered row by row) plays once over each particle's
// life. With colour keys, colour and half-size follow the keys over the life; without, the
// particle is white (or darkens with its remaining life) and fades out when asked to.
class CPParticleRenderObject : public CPRenderObject {
public:
    // The most particles a template holds: their quads fill one streaming buffer pair.
    static constexpr int32_t kMaxParticles = kMaxMeshVertices / 4;
    // The most frames across or down a texture.
    static constexpr int32_t kMaxFrameSide = 256;

    CPParticleRenderObject();

    // Always written every frame.
    int32_t GetType() const override { return Dynamic; }
    void SetType(int32_t) override {}
    int32_t GetVertexCount() const override { return 4 * ParticleCount(); }
    int32_t GetIndexCount() const override { return 6 * ParticleCount(); }
    // Quads A (-h, -h), B (h, -h), C (h, h), D (-h, h) in the view plane around each particle,
    // indices b, b + 2, b + 1, b, b + 3, b + 2.
    void WriteGeometry(SPVertex* vertices, uint16_t* indices, uint16_t base) override;

    // Moves the particles by dt seconds, emits their pending records at half life, removes those
    // past their life and calls the callbacks of the others; inactive once none is left.
    virtual void Update(float dt);
    // Takes a particle (a full template ignores it) and becomes active.
    virtual void AddParticle(SPParticle particle);
    // Drops every particle; inactive.
    virtual void Clear();

    // Frames across and down the texture; each is held to 1 .. kMaxFrameSide. 1 × 1 is a plain
    // texture.
    void SetFrames(int32_t columns, int32_t rows, int32_t frameValue);
    void SetDarken(bool darken) { m_darken = darken; }
    void AddKey(const SPColourKey& key);

    bool IsActive() const { return m_active; }
    bool IsAnimated() const { return m_animated; }
    bool IsDarkened() const { return m_darken; }
    bool IsKeyed() const { return m_keyed; }
    int32_t GetColumns() const { return m_columns; }
    int32_t GetRows() const { return m_rows; }
    int32_t GetFrameValue() const { return m_frameValue; }
    int32_t GetFrameCount() const { return m_frameCount; }
    const std::vector<SPColourKey>& GetKeys() const { return m_keys; }
    const std::vector<SPParticle>& GetParticles() const { return m_particles; }
    int32_t ParticleCount() const { return static_cast<int32_t>(m_particles.size()); }

protected:
    // The texture corner of frame k (0 .. frame count - 1), and the size of a frame.
    float FrameU(int32_t k) const { return m_uOffsets[static_cast<size_t>(k)]; }
    float FrameV(int32_t k) const { return m_vOffsets[static_cast<size_t>(k)]; }
    float FrameWidth() const { return m_frameWidth; }
    float FrameHeight() const { return m_frameHeight; }
    // Keeps the particles for which keep(particle) is true, in order.
    template <class Keep>
    void KeepParticles(Keep keep);

    std::vector<SPParticle> m_particles;
    bool m_active = false;

private:
    // One step of particle i; false when it is to be removed.
    bool Advance(size_t i, float dt);
    void WriteParticle(const SPParticle& particle, PMatrix& placement, SPVertex* vertices) const;

    std::vector<SPColourKey> m_keys;
    bool m_animated = false;
    int32_t m_rows = 1;
    int32_t m_columns = 1;
    int32_t m_frameValue = 1;
    std::vector<float> m_uOffsets;
    std::vector<float> m_vOffsets;
    int32_t m_frameCount = 1;
    float m_frameWidth = 1.0f;
    float m_frameHeight = 1.0f;
    bool m_darken = false;
    bool m_keyed = false;
};

template <class Keep>
void CPParticleRenderObject::KeepParticles(Keep keep) {
    size_t kept = 0;
    for (size_t i = 0; i < m_particles.size(); ++i) {
        if (!keep(i) || i >= m_particles.size()) continue;
        if (kept != i) m_particles[kept] = std::move(m_particles[i]);
        ++kept;
    }
    if (kept < m_particles.size()) m_particles.erase(m_particles.begin() + static_cast<std::ptrdiff_t>(kept), m_particles.end());
    if (m_particles.empty()) m_active = false;
}
