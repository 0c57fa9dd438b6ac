// Data\weapons.dat: the weapon and effect definitions, each line made into a prototype of its
// class (no object loader, materials or sounds: the classes run without them).
#include <cstddef>
#include <cstdint>

#include "core/PMMObject.h"
#include "weapons/PWeaponsSystem.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    {
        TPtr<CPWeaponsSystem> weapons(new CPWeaponsSystem);
        weapons->LoadDefinitions(reinterpret_cast<const char*>(data), static_cast<int32_t>(size));
    }
    CollectGarbage();
    return 0;
}
