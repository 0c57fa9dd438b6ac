#pragma once
#include <array>
#include <cstdint>
#include <string>

// One car set-up: the item names (keys of the item tables) of what the car carries; "" is an
// empty slot. The weapon names of a slot change with its upgrade counter: "hmgun", "hmgun2",
// "hmgun3" (likewise "firethrower" and "ssrlauncher"); the super weapon goes "super", "super2",
// "super3". A default set-up is all empty with every number 0.
struct SPCarSetup {
    std::array<std::string, 3> weapons;
    std::array<std::string, 2> equipment;
    std::string bumper;
    std::string engine;
    std::string armor;
    std::string superWeapon;
    int32_t superWeaponCount = 0;
    std::string mine;
    std::array<int32_t, 3> weaponLevels = {0, 0, 0};  // 0 to 4 each

    bool operator==(const SPCarSetup&) const = default;
};
