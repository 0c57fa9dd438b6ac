#include "Render/PAnimatedObject.h"

#include "Render/PAnimation.h"
#include "Render/PMaterial.h"

namespace {

// Requested buckets of the animation map.
constexpr size_t kBuckets = 100;

}  // namespace

CPAnimatedObject::CPAnimatedObject(CPGameObject* owner) : m_owner(owner) { m_animations.reserve(kBuckets); }

CPAnimatedObject::~CPAnimatedObject() = default;

TPtr<CPMaterial> CPAnimatedObject::GetMaterial() const { return m_material; }

void CPAnimatedObject::SetMaterial(TPtr<CPMaterial> material) { m_material = std::move(material); }

void CPAnimatedObject::AddAnimation(const std::string& name, TPtr<CPAnimation> animation) {
    if (!m_current) m_current = animation;
    m_animations[name] = std::move(animation);
}

TPtr<CPAnimation> CPAnimatedObject::GetAnimation(const std::string& name) const {
    const auto found = m_animations.find(name);
    return found == m_animations.end() ? nullptr : found->second;
}

void CPAnimatedObject::AddModifier(std::unique_ptr<IPTexModifier> modifier) { m_modifiers.push_back(std::move(modifier)); }
