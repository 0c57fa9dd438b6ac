#include "Render/PAnimation.h"

#include <algorithm>
#include <cmath>

#include "Render/ModelFile.h"
#include "Render/PAnimationCache.h"
#include "Render/PObjectLoader.h"
#include "Render/PRender.h"
#include "Render/VertexBounds.h"

namespace {

// Requested buckets of the cache's map.
constexpr size_t kBuckets = 100;

}  // namespace

CPAnimation::CPAnimation(const std::string& name) : m_name(name) {
    if (CPAnimationCache* cache = GetAnimationCache()) cache->Enter(name, this);
}

CPAnimation::~CPAnimation() {
    if (CPAnimationCache* cache = GetAnimationCache()) cache->Leave(m_name, this);
}

void CPAnimation::Load(const modelfile::SPAnimationBlock& block, float scale) {
    const bool reload = !m_frames.empty();
    if (!reload) {
        m_frameCount = static_cast<int32_t>(block.frames.size());
        m_frameTime = block.frameTimeTicks * kSecondsPerTick;
        m_duration = static_cast<float>(m_frameCount) * m_frameTime;
        m_frames.resize(block.frames.size());
    }
    const CPObjectLoader* loader = GetObjectLoader();
    const uint32_t colour = loader ? loader->GetVertexColour() : 0xFFFFFFFFu;
    SPVertexBounds bounds;
    for (size_t i = 0; i < block.frames.size(); ++i) {
        std::vector<SPVertex> vertices = block.frames[i].vertices;
        for (SPVertex& vertex : vertices) {
            vertex.position = vertex.position * scale;
            vertex.diffuse = colour;
            bounds.Add(vertex.position);
        }
        if (!reload) Upload(m_frames[i], static_cast<int32_t>(i), vertices, block.frames[i].indices);
    }
    m_box = bounds.Box();
}

void CPAnimation::Upload(SPAnimationFrame& frame, int32_t index, const std::vector<SPVertex>& vertices,
                         const std::vector<uint16_t>& indices) {
    frame.index = index;
    frame.name = m_name + std::to_string(index);
    CPRender* render = GetRender();
    if (!render || vertices.empty()) return;
    frame.meshBuffers = render->GetMeshBuffers(frame.name, vertices.data(), indices.data(),
                                               static_cast<int32_t>(vertices.size()),
                                               static_cast<int32_t>(indices.size()));
}

int32_t CPAnimation::FrameIndexAt(double t) const {
    if (m_frames.empty()) return -1;
    const double duration = m_duration;
    if (!(duration > 0.0) || !(m_frameTime > 0.0f) || !(t > 0.0) || !std::isfinite(t)) return 0;
    if (t > duration) {
        t = std::fmod(t, duration);
        if (t == 0.0) t = duration;
    }
    const double index = std::floor(t / m_frameTime);
    return static_cast<int32_t>(std::clamp(index, 0.0, static_cast<double>(m_frames.size() - 1)));
}

CPAnimationCache::CPAnimationCache() { m_animations.reserve(kBuckets); }

TPtr<CPAnimation> CPAnimationCache::GetAnimation(const std::string& name, const modelfile::SPAnimationBlock& block,
                                                 float scale) {
    const auto found = m_animations.find(name);
    TPtr<CPAnimation> animation(found != m_animations.end() ? found->second : new CPAnimation(name));
    animation->Load(block, scale);
    return animation;
}

void CPAnimationCache::Leave(const std::string& name, const CPAnimation* animation) {
    const auto found = m_animations.find(name);
    if (found != m_animations.end() && found->second == animation) m_animations.erase(found);
}
