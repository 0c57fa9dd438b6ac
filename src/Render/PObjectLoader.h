#pragma once
#include "core/Singleton.h"

// The object loader: builds scene object trees from object descriptions. Created at start-up,
// destroyed at shutdown.
//
// Not done yet: LoadObject and the description readers.
class CPObjectLoader : public TSingleton<CPObjectLoader> {
public:
    CPObjectLoader() = default;
    virtual ~CPObjectLoader() = default;
};

// The object loader, null before its construction and after its destruction.
inline CPObjectLoader* GetObjectLoader() { return CPObjectLoader::Instance(); }
