#pragma once
#include <cstdint>
#include <string>

// The records of the shop's seven item tables (Data\w_info.dat, m_info.dat, sw_info.dat,
// b_info.dat, e_info.dat, a_info.dat, d_info.dat). Every record begins with the strings.txt key
// of the item's display name and its price, and ends with the key of its description and the
// first mission in which the shop offers it. The fields param4, param5, param8, param9 and param10
// are only handed back to the scripts.

struct CPWeaponInfo {
    std::string nameKey;
    int32_t price = 0;
    int32_t shotCost = 0;  // magazine size with capacity; the shotgun's pellet count
    float param4 = 0.0f;
    int32_t param5 = 0;
    float damage = 0.0f;        // given to every shot
    float rechargeRate = 0.0f;  // refill of the magazine
    int32_t capacity = 0;
    float fireRate = 0.0f;  // shots per second
    float param10 = 0.0f;
    std::string descriptionKey;
    int32_t firstMission = 0;
};

struct CPMineInfo {
    std::string nameKey;
    int32_t price = 0;
    int32_t shotCost = 0;
    float param4 = 0.0f;
    float param5 = 0.0f;
    int32_t capacity = 0;
    float fireRate = 0.0f;
    float param8 = 0.0f;
    float param9 = 0.0f;
    std::string descriptionKey;
    int32_t firstMission = 0;
};

struct SPSuperWeaponInfo {
    std::string nameKey;
    int32_t price = 0;
    std::string descriptionKey;
    int32_t firstMission = 0;
};

// Bumpers, equipment and armour share one shape: value is the bumper's rating, the equipment's
// effect size and the armour's health.
struct SPValueItemInfo {
    std::string nameKey;
    int32_t price = 0;
    float value = 0.0f;
    std::string descriptionKey;
    int32_t firstMission = 0;
};
using SPBumperInfo = SPValueItemInfo;
using SPEquipmentInfo = SPValueItemInfo;
using SPArmorInfo = SPValueItemInfo;

struct SPEngineInfo {
    std::string nameKey;
    int32_t price = 0;
    float carParams[3] = {0.0f, 0.0f, 0.0f};  // handed to the car script at level start
    float heatRate = 0.0f;                    // engine temperature while driving
    float coolRate = 0.0f;
    std::string descriptionKey;
    int32_t firstMission = 0;
};
