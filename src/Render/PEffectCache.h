#pragma once
#include <string>
#include <unordered_map>

#include "Render/PEffect.h"
#include "core/PSmartPointer.h"
#include "core/Singleton.h"

// Shares effects by name. It keeps nothing alive: an effect lives while its materials hold it
// and leaves the cache when destroyed. Created by the material manager.
class CPEffectCache : public TSingleton<CPEffectCache> {
public:
    CPEffectCache();
    virtual ~CPEffectCache();

    // The effect loaded under this name; one that cannot be made is replaced by "error.fx",
    // which later requests of the name get at once.
    TPtr<CPEffect> GetEffect(const std::string& name);
    // Forgets every name under which the effect is known (a fallback effect may stand for many).
    void RemoveEffect(const CPEffect* effect);

    int32_t CountEffects() const { return static_cast<int32_t>(m_effects.size()); }

private:
    std::unordered_map<std::string, CPEffect*> m_effects;
};

// The effect cache, null before its construction and after its destruction.
inline CPEffectCache* GetEffectCache() { return CPEffectCache::Instance(); }
