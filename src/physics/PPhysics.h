#pragma once
#include <cstdint>
#include <string>

#include "core/PTask.h"
#include "core/Singleton.h"

// The physics world: a level task created at start-up and held by the application; a level start
// gives it priority 400 and adds it to the kernel, the level stop stops it.
//
// Not done yet: the simulator, bodies, terrain and the fixed-step update, which does nothing
// for now.
class CPPhysics : public IPTask, public TSingleton<CPPhysics> {
public:
    CPPhysics() = default;

    void Update() override {}
    int32_t GetType() const override { return 1; }
    int32_t GetSize() const override { return static_cast<int32_t>(sizeof(*this)); }
    std::string GetClassName() const override { return "CPPhysics"; }
};

// The physics world, null before its construction and after its destruction.
inline CPPhysics* GetPhysics() { return CPPhysics::Instance(); }
