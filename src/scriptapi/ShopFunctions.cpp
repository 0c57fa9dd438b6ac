#include "scriptapi/ShopFunctions.h"

#include <lua.hpp>

#include <array>
#include <string>
#include <vector>

#include "game/PGameData.h"
#include "math/Truncate.h"
#include "script/ScriptNumbers.h"
#include "scriptapi/ScriptArguments.h"

namespace {

// The last mission whose items the shop offers in hard mode.
constexpr int32_t kHardModeMissionLimit = 15;
// A super-weapon count from which the shop offers no more.
constexpr int32_t kFullSuperWeaponCount = 99;

void PushText(lua_State* state, const std::string& text) { lua_pushlstring(state, text.data(), text.size()); }
void PushNumber(lua_State* state, double number) { lua_pushnumber(state, number); }

// The record of the item named by the first argument, or null.
template <class Info>
const Info* ItemArgument(lua_State* state, const ItemMap<Info>& infos) {
    std::string name;
    if (!TextArgument(state, 1, name)) return nullptr;
    const auto found = infos.find(name);
    return found == infos.end() ? nullptr : &found->second;
}

// Pushes the results of a Get…Info function: the name text, the numbers (pushed by pushNumbers,
// which returns their count), the description text and the first mission.
template <class Info, class PushNumbers>
int PushItemInfo(lua_State* state, CPGameData& data, const Info& info, PushNumbers pushNumbers) {
    PushText(state, data.LookUpText(info.nameKey));
    const int numbers = pushNumbers(info);
    PushText(state, data.LookUpText(info.descriptionKey));
    PushNumber(state, info.firstMission);
    return numbers + 3;
}

template <class Info, class PushNumbers>
int ItemInfo(lua_State* state, ItemMap<Info> CPGameData::*table, PushNumbers pushNumbers) {
    CPGameData* data = GetGameData();
    if (!data) return 0;
    const Info* info = ItemArgument(state, data->*table);
    return info ? PushItemInfo(state, *data, *info, pushNumbers) : 0;
}

// The names of the list's items on offer in the current mission, less the excluded ones.
template <class Info>
std::vector<std::string> OfferedNames(const CPGameData& data, const ItemList<Info>& list,
                                      const std::vector<std::string>& excluded) {
    const int32_t limit = data.hardMode ? kHardModeMissionLimit : data.mission;
    std::vector<std::string> names;
    for (const auto& [name, info] : list) {
        if (info.firstMission > limit) continue;
        bool isExcluded = false;
        for (const std::string& other : excluded) isExcluded = isExcluded || other == name;
        if (!isExcluded) names.push_back(name);
    }
    return names;
}

template <class Info, class Excluded>
int ItemNames(lua_State* state, ItemList<Info> CPGameData::*list, Excluded excluded) {
    const CPGameData* data = GetGameData();
    if (!data) return 0;
    return PushTextArray(state, OfferedNames(*data, data->*list, excluded(data->editedSetup)));
}

int ValueItemInfo(lua_State* state, ItemMap<SPValueItemInfo> CPGameData::*table) {
    return ItemInfo(state, table, [state](const SPValueItemInfo& info) {
        PushNumber(state, info.price);
        PushNumber(state, info.value);
        return 2;
    });
}

}  // namespace

int PushCarSetup(lua_State* state, const SPCarSetup& setup) {
    for (const std::string& weapon : setup.weapons) PushText(state, weapon);
    for (const std::string& item : setup.equipment) PushText(state, item);
    PushText(state, setup.bumper);
    PushText(state, setup.engine);
    PushText(state, setup.armor);
    PushText(state, setup.superWeapon);
    PushNumber(state, setup.superWeaponCount);
    PushText(state, setup.mine);
    return 11;
}

int ScriptGetWeaponInfo(lua_State* state) {
    return ItemInfo(state, &CPGameData::weaponInfos, [state](const CPWeaponInfo& info) {
        for (double number : {double(info.price), double(info.shotCost), double(info.param4), double(info.param5),
                              double(info.damage), double(info.rechargeRate), double(info.capacity),
                              double(info.fireRate), double(info.param10)}) {
            PushNumber(state, number);
        }
        return 9;
    });
}

int ScriptGetMineInfo(lua_State* state) {
    return ItemInfo(state, &CPGameData::mineInfos, [state](const CPMineInfo& info) {
        for (double number : {double(info.price), double(info.shotCost), double(info.param4), double(info.param5),
                              double(info.capacity), double(info.fireRate), double(info.param8),
                              double(info.param9)}) {
            PushNumber(state, number);
        }
        return 8;
    });
}

int ScriptGetSuperWeaponInfo(lua_State* state) {
    return ItemInfo(state, &CPGameData::superWeaponInfos, [state](const SPSuperWeaponInfo& info) {
        PushNumber(state, info.price);
        return 1;
    });
}

int ScriptGetBumperInfo(lua_State* state) { return ValueItemInfo(state, &CPGameData::bumperInfos); }
int ScriptGetEquipmentInfo(lua_State* state) { return ValueItemInfo(state, &CPGameData::equipmentInfos); }
int ScriptGetArmorInfo(lua_State* state) { return ValueItemInfo(state, &CPGameData::armorInfos); }

int ScriptGetEngineInfo(lua_State* state) {
    return ItemInfo(state, &CPGameData::engineInfos, [state](const SPEngineInfo& info) {
        for (double number : {double(info.price), double(info.carParams[0]), double(info.carParams[1]),
                              double(info.carParams[2]), double(info.heatRate), double(info.coolRate)}) {
            PushNumber(state, number);
        }
        return 6;
    });
}

int ScriptGetWeaponNames(lua_State* state) {
    return ItemNames(state, &CPGameData::weaponList, [](const SPCarSetup& setup) {
        return std::vector<std::string>(setup.weapons.begin(), setup.weapons.end());
    });
}

int ScriptGetMineNames(lua_State* state) {
    return ItemNames(state, &CPGameData::mineList,
                     [](const SPCarSetup& setup) { return std::vector<std::string>{setup.mine}; });
}

int ScriptGetSuperWeaponNames(lua_State* state) {
    const CPGameData* data = GetGameData();
    if (!data) return 0;
    if (data->editedSetup.superWeaponCount >= kFullSuperWeaponCount) return PushTextArray(state, {});
    return PushTextArray(state, OfferedNames(*data, data->superWeaponList, {}));
}

int ScriptGetBumperNames(lua_State* state) {
    return ItemNames(state, &CPGameData::bumperList,
                     [](const SPCarSetup& setup) { return std::vector<std::string>{setup.bumper}; });
}

int ScriptGetEquipmentNames(lua_State* state) {
    return ItemNames(state, &CPGameData::equipmentList, [](const SPCarSetup& setup) {
        return std::vector<std::string>(setup.equipment.begin(), setup.equipment.end());
    });
}

int ScriptGetArmorNames(lua_State* state) {
    return ItemNames(state, &CPGameData::armorList,
                     [](const SPCarSetup& setup) { return std::vector<std::string>{setup.armor}; });
}

int ScriptGetEngineNames(lua_State* state) {
    return ItemNames(state, &CPGameData::engineList,
                     [](const SPCarSetup& setup) { return std::vector<std::string>{setup.engine}; });
}

int ScriptIsValidGameDataName(lua_State* state) {
    const CPGameData* data = GetGameData();
    std::string name;
    const bool valid = data && TextArgument(state, 1, name) &&
                       (data->weaponInfos.count(name) || data->mineInfos.count(name) ||
                        data->superWeaponInfos.count(name) || data->bumperInfos.count(name) ||
                        data->equipmentInfos.count(name) || data->armorInfos.count(name) ||
                        data->engineInfos.count(name));
    lua_pushboolean(state, valid);
    return 1;
}

int ScriptGetCarInfo(lua_State* state) {
    const CPGameData* data = GetGameData();
    return data ? PushCarSetup(state, data->editedSetup) : 0;
}

int ScriptSetCarInfo(lua_State* state) {
    CPGameData* data = GetGameData();
    if (!data) return 0;
    SPCarSetup setup;
    int index = 1;
    for (std::string& weapon : setup.weapons) TextArgument(state, index++, weapon);
    for (std::string& item : setup.equipment) TextArgument(state, index++, item);
    for (std::string* name : {&setup.bumper, &setup.engine, &setup.armor, &setup.superWeapon}) {
        TextArgument(state, index++, *name);
    }
    setup.superWeaponCount = IntArgument(state, index++);
    TextArgument(state, index, setup.mine);
    data->SetCarSetup(setup);
    return 0;
}

int ScriptCommitCarSettings(lua_State*) {
    if (CPGameData* data = GetGameData()) data->CommitCarSetup();
    return 0;
}

int ScriptAutoSetting(lua_State*) {
    if (CPGameData* data = GetGameData()) data->BuyBestPreset();
    return 0;
}

int ScriptInitPlayer(lua_State*) {
    if (CPGameData* data = GetGameData()) data->LoadPlayer();
    return 0;
}

int ScriptSetMoney(lua_State* state) {
    CPGameData* data = GetGameData();
    float money = 0.0f;
    if (data && ReadFiniteArgument(state, 1, money)) data->SetMoney(money);
    return 0;
}

int ScriptGetMoney(lua_State* state) {
    const CPGameData* data = GetGameData();
    if (!data) return 0;
    PushNumber(state, TruncateToInt32(data->money));
    return 1;
}

int ScriptGetCurrentMission(lua_State* state) {
    const CPGameData* data = GetGameData();
    if (!data) return 0;
    PushNumber(state, data->mission);
    return 1;
}

int ScriptSetCurrentMission(lua_State* state) {
    if (CPGameData* data = GetGameData()) data->mission = IntArgument(state, 1);
    return 0;
}

int ScriptSetKills(lua_State* state) {
    if (CPGameData* data = GetGameData()) data->score = IntArgument(state, 1);
    return 0;
}
