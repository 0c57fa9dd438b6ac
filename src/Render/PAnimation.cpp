#include "Render/PAnimation.h"


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
    m_frameCount = static_cast<int32_t>(block.frames.size());
    m_frameTime = block.frameTimeTicks * kSecondsPerTick;
    m_duration = static_cast<float>(m_frameCount) * m_frameTime;
    const CPObjectLoader* loader = GetObjectLoader();
    const uint32_t colour = loader ? loader->GetVertexColour() : 0xFFFFFFFFu;
    m_frames.resize(block.frames.size());
    SPVertexBounds bounds;
    for (size_t i = 0; i < m_frames.size(); ++i) {
        SPAnimationFrame& frame = m_frames[i];
        frame.index = static_cast<int32_t>(i);
        frame.vertices = block.frames[i].vertices;
        frame.indices = block.frames[i].indices;
        for (SPVertex& vertex : frame.vertices) {
            vertex.position = vertex.position * scale;
            vertex.diffuse = colour;
            bounds.Add(vertex.position);
        }
        frame.name = m_name + std::to_string(i);
        if (CPRender* render = GetRender(); render && !frame.vertices.empty()) {
            frame.meshBuffers = render->GetMeshBuffers(frame.name, frame.vertices.data(), frame.indices.data(),
                                                       static_cast<int32_t>(frame.vertices.size()),
                                                       static_cast<int32_t>(frame.indices.size()));
        }
        frame.vertices = {};
        frame.indices = {};
    }
    m_box = bounds.Box();
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
