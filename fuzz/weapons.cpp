// Data\weapons.dat: the weapon and effect definitions, each line made into a prototype of its
// class (no object loader, materials or sounds: the classes run without them). The game data
// holds a mine layer named "m", so that mine lines are read past their record. Every name the
// input defines is then spawned, plainly and with the super flag, on a source object (a charge
// rides on one), and the weapons run a frame of no time and a few short and long ones.
#include <cstddef>
#include <cstdint>
#include <string>

#include "core/PGlobalTimer.h"
#include "core/PMMObject.h"
#include "core/PTextReader.h"
#include "game/PGameData.h"
#include "weapons/PWeaponsSystem.h"
#include "weapons/WeaponDefinitions.h"

namespace {

constexpr float kFrames[] = {0.0f, 0.02f, 0.02f, 0.5f, 0.02f};

void SpawnEveryName(CPWeaponsSystem& weapons, const char* text, int32_t size, const TPtr<CPGameObject>& source) {
    CPTextReader reader(text, size);
    std::string line;
    SPWeaponLine definition;
    while (reader.ReadLine(line)) {
        if (!SplitWeaponLine(line, definition)) continue;
        for (const bool super : {false, true}) {
            weapons.Spawn(definition.name, {0.0f, 0.0f, 1.0f}, {1.0f, 0.0f, 0.2f}, -1.0f, source, nullptr, super);
        }
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    {
        CPGameData gameData;
        gameData.mineInfos["m"].param8 = 4.0f;
        TPtr<CPWeaponsSystem> weapons(new CPWeaponsSystem);
        const char* text = reinterpret_cast<const char*>(data);
        weapons->LoadDefinitions(text, static_cast<int32_t>(size));
        TPtr<CPGameObject> source(new CPGameObject("gun"));
        SpawnEveryName(*weapons, text, static_cast<int32_t>(size), source);
        for (const float frame : kFrames) {
            g_frameDelta = frame;
            weapons->Update();
        }
        g_frameDelta = 0.0f;
        weapons->Clear();
    }
    CollectGarbage();
    return 0;
}
