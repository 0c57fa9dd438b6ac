#include "Render/PParticleRenderObject.h"

#include <algorithm>
#include <utility>

#include "Render/PParticlesManager.h"
#include "Render/ViewCamera.h"

CPParticleRenderObject::CPParticleRenderObject() : CPRenderObject(nullptr) {
    m_uOffsets.assign(1, 0.0f);
    m_vOffsets.assign(1, 0.0f);
}

void CPParticleRenderObject::SetFrames(int32_t columns, int32_t rows, int32_t frameValue) {
    m_columns = std::clamp(columns, 1, kMaxFrameSide);
    m_rows = std::clamp(rows, 1, kMaxFrameSide);
    m_animated = m_columns != 1 || m_rows != 1;
    m_frameValue = m_animated ? frameValue : 1;
    m_frameCount = m_columns * m_rows;
    m_frameWidth = 1.0f / static_cast<float>(m_columns);
    m_frameHeight = 1.0f / static_cast<float>(m_rows);
    m_uOffsets.resize(static_cast<size_t>(m_frameCount));
    m_vOffsets.resize(static_cast<size_t>(m_frameCount));
    for (int32_t j = 0; j < m_rows; ++j) {
        for (int32_t k = 0; k < m_columns; ++k) {
            const size_t frame = static_cast<size_t>(j * m_columns + k);
            m_uOffsets[frame] = static_cast<float>(k) / static_cast<float>(m_columns);
            m_vOffsets[frame] = static_cast<float>(j) / static_cast<float>(m_rows);
        }
    }
}

void CPParticleRenderObject::AddKey(const SPColourKey& key) {
    m_keys.push_back(key);
    m_keyed = true;
}

void CPParticleRenderObject::AddParticle(SPParticle particle) {
    if (ParticleCount() >= kMaxParticles) return;
    particle.frameRate = particle.life > 0.0f ? static_cast<float>(m_frameCount) / particle.life : 0.0f;
    m_particles.push_back(std::move(particle));
    m_active = true;
}

void CPParticleRenderObject::Clear() {
    m_particles.clear();
    m_active = false;
}

void CPParticleRenderObject::Update(float dt) {
    KeepParticles([&](size_t i) { return Advance(i, dt); });
}

bool CPParticleRenderObject::Advance(size_t i, float dt) {
    {
        SPParticle& particle = m_particles[i];
        particle.previousPosition = particle.position;
        particle.velocity += particle.acceleration * dt;
        particle.position += particle.velocity * dt;
        particle.size += particle.growth * dt;
        if (particle.next && particle.life * 0.5f < particle.age) {
            std::unique_ptr<CPParticleSpawnInfo> next = std::move(particle.next);
            next->position += particle.position;
            // The spawn may add to this very template and move its particles.
            if (CPParticlesManager* manager = GetParticlesManager()) manager->SpawnEffect(*next);
        }
    }
    SPParticle& particle = m_particles[i];
    if (particle.age > particle.life) return false;
    particle.age += dt;
    if (particle.callback && particle.age <= particle.life) particle.callback(particle.user.Get(), particle);
    return true;
}

void CPParticleRenderObject::WriteGeometry(SPVertex* vertices, uint16_t* indices, uint16_t base) {
    PMatrix placement = GetViewCamera().GetInverseView();
    for (size_t n = 0; n < m_particles.size(); ++n) {
        WriteParticle(m_particles[n], placement, vertices + 4 * n);
        const auto b = static_cast<uint16_t>(base + 4 * n);
        const uint16_t order[6] = {0, 2, 1, 0, 3, 2};
        for (int k = 0; k < 6; ++k) indices[6 * n + static_cast<size_t>(k)] = static_cast<uint16_t>(b + order[k]);
    }
}

void CPParticleRenderObject::WriteParticle(const SPParticle& particle, PMatrix& placement, SPVertex* vertices) const {
    placement.m[3][0] = particle.position.x;
    placement.m[3][1] = particle.position.y;
    placement.m[3][2] = particle.position.z;
    float h = particle.growth * particle.age + particle.size;
    const uint32_t colour = m_keyed ? KeyedColour(m_keys, particle.age, particle.life, h)
                                    : LifeColour(particle.age, particle.life, particle.fade, m_darken);
    float u = 0.0f;
    float v = 0.0f;
    float width = 1.0f;
    float height = 1.0f;
    if (m_animated) {
        const int32_t k = FrameAt(particle.frameRate, particle.age, m_frameCount);
        u = FrameU(k);
        v = FrameV(k);
        width = m_frameWidth;
        height = m_frameHeight;
    }
    const float corners[4][4] = {
        {-h, -h, u, v}, {h, -h, u + width, v}, {h, h, u + width, v + height}, {-h, h, u, v + height}};
    for (int c = 0; c < 4; ++c) {
        const PVector4 p = Vec4Transform({corners[c][0], corners[c][1], 0.0f, 1.0f}, placement);
        SPVertex vertex{};
        vertex.position = {p.x, p.y, p.z};
        vertex.normal = {0.0f, 0.0f, -1.0f};
        vertex.diffuse = colour;
        vertex.tex0 = {corners[c][2], corners[c][3]};
        vertices[c] = vertex;
    }
}
