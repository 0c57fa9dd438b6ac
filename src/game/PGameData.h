#pragma once
#include <cstdint>

#include "core/Singleton.h"

// The game's state between levels and its item databases. Created at start-up, destroyed last
// among the singletons at shutdown.
//
// Not done yet: the item databases, the text table, the shop, the score table, the player
// start and the difficulty coefficients; LoadGameData reads none of them yet.
class CPGameData : public TSingleton<CPGameData> {
public:
    CPGameData() = default;
    virtual ~CPGameData() = default;

    // Loads everything the game data holds; false while nothing can be loaded yet.
    bool LoadGameData() { return false; }

    float money = 0.0f;
    int32_t score = 0;
};

// Multiplies the damage that hits do: 1 until the player car's "damage" equipment sets it.
inline float g_damageMultiplier = 1.0f;

// The game data, null before its construction and after its destruction.
inline CPGameData* GetGameData() { return CPGameData::Instance(); }
