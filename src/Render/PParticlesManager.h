#pragma once
#include <cstdint>
#include <string>

#include "core/PTask.h"
#include "core/Singleton.h"

// The particle manager: a level task (priority 9000, after the game and physics, before the
// renderer) that owns every particle effect.
//
// Not done yet: the definition files, the templates, spawning and the per-frame update, which
// does nothing for now.
class CPParticlesManager : public IPTask, public TSingleton<CPParticlesManager> {
public:
    CPParticlesManager() = default;

    void Update() override {}
    int32_t GetType() const override { return 1; }
    int32_t GetSize() const override { return static_cast<int32_t>(sizeof(*this)); }
    std::string GetClassName() const override { return "CPParticlesManager"; }
};

// The particle manager, null before its construction and after its destruction.
inline CPParticlesManager* GetParticlesManager() { return CPParticlesManager::Instance(); }
