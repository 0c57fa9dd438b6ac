#pragma once
#include <cstdint>
#include <string>

#include "core/PTask.h"
#include "core/Singleton.h"
#include "math/PVector3.h"

// The weapons task: updates every live weapon and effect object (priority 390, set by the
// application, which creates it and adds it to the kernel).
//
// Not done yet: the definition file, the prototypes, the pools, Spawn and the per-frame update,
// which does nothing for now.
class CPWeaponsSystem : public IPTask, public TSingleton<CPWeaponsSystem> {
public:
    CPWeaponsSystem() = default;

    void Update() override {}
    int32_t GetType() const override { return 1; }
    int32_t GetSize() const override { return static_cast<int32_t>(sizeof(*this)); }
    std::string GetClassName() const override { return "CPWeaponsSystem"; }

    // Launches a weapon or effect object of the named prototype at the position; a damage of
    // -1 keeps the prototype's own. Spawns nothing yet: there are no prototypes.
    void Spawn(const std::string& prototype, const PVector3& position, const PVector3& direction, float damage,
               CPSmartPointer object, void* pointer, bool flag) {}
    // Releases the live weapon and effect objects (a level stops); prototypes and pools stay.
    // Nothing is live yet.
    void Clear() {}
};

// The weapons task, null before its construction and after its destruction.
inline CPWeaponsSystem* GetWeaponsSystem() { return CPWeaponsSystem::Instance(); }
