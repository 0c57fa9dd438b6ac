#pragma once
#include <string>
#include <unordered_map>

#include "core/PSmartPointer.h"
#include "core/Singleton.h"

class CPAnimation;
namespace modelfile {
struct SPAnimationBlock;
}

// The cache of vertex animations by name. Created at start-up, destroyed at shutdown. It keeps
// no animation alive: each enters itself when made and leaves when destroyed.
class CPAnimationCache : public TSingleton<CPAnimationCache> {
public:
    CPAnimationCache();
    virtual ~CPAnimationCache() = default;

    // The animation of that name (made when none lives), loaded from the block in every case.
    TPtr<CPAnimation> GetAnimation(const std::string& name, const modelfile::SPAnimationBlock& block, float scale);

    void Enter(const std::string& name, CPAnimation* animation) { m_animations[name] = animation; }
    // Removes the entry when it names this animation.
    void Leave(const std::string& name, const CPAnimation* animation);
    size_t GetCount() const { return m_animations.size(); }

private:
    std::unordered_map<std::string, CPAnimation*> m_animations;
};

// The animation cache, null before its construction and after its destruction.
inline CPAnimationCache* GetAnimationCache() { return CPAnimationCache::Instance(); }
