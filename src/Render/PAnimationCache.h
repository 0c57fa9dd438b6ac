#pragma once
#include "core/Singleton.h"

// The cache of vertex animations by name. Created at start-up, destroyed at shutdown.
//
// Not done yet: the animations and their map.
class CPAnimationCache : public TSingleton<CPAnimationCache> {
public:
    CPAnimationCache() = default;
    virtual ~CPAnimationCache() = default;
};

// The animation cache, null before its construction and after its destruction.
inline CPAnimationCache* GetAnimationCache() { return CPAnimationCache::Instance(); }
