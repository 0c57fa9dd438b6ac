#include "Render/PEffectCache.h"

namespace {

const std::string kErrorEffect = "error.fx";

}  // namespace

CPEffectCache::CPEffectCache() : m_effects(100) {}

CPEffectCache::~CPEffectCache() { m_effects.clear(); }

TPtr<CPEffect> CPEffectCache::GetEffect(const std::string& name)
{
    if (const auto found = m_effects.find(name); found != m_effects.end()) return TPtr<CPEffect>(found->second);
    TPtr<CPEffect> effect(new CPEffect);
    if (!effect->Load(name)) {
        effect = new CPEffect;
        effect->Load(kErrorEffect);
    }
    m_effects[name] = effect.Get();
    return effect;
}

void CPEffectCache::RemoveEffect(const CPEffect* effect)
{
    std::erase_if(m_effects, [effect](const auto& entry) { return entry.second == effect; });
}
