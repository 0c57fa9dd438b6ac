#pragma once
#include "core/Singleton.h"

// The material manager: knows every live material and empties their draw queues after the main
// loop. Created at start-up, destroyed at shutdown.
//
// Not done yet: the materials themselves, their lookup and ClearAllQueues.
class CPMaterialManager : public TSingleton<CPMaterialManager> {
public:
    CPMaterialManager() = default;
    virtual ~CPMaterialManager() = default;
};

// The material manager, null before its construction and after its destruction.
inline CPMaterialManager* GetMaterialManager() { return CPMaterialManager::Instance(); }
