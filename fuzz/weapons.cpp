// Data\weapons.dat: the weapon and effect definitions, each line made into a prototype of its
// class (no object loader, materials or sounds: the classes run without them). The game data
// holds a mine layer named "m", so that mine lines are read past their record.
#include <cstddef>
#include <cstdint>

#include "core/PMMObject.h"
#include "game/PGameData.h"
#include "weapons/PWeaponsSystem.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    {
        CPGameData gameData;
        gameData.mineInfos["m"].param8 = 4.0f;
        TPtr<CPWeaponsSystem> weapons(new CPWeaponsSystem);
        weapons->LoadDefinitions(reinterpret_cast<const char*>(data), static_cast<int32_t>(size));
    }
    CollectGarbage();
    return 0;
}
