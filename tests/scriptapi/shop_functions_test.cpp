// The shop's script functions over the game data: item records, the items on offer, the edited
// and committed set-ups, money, mission and kills.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "game/PGameData.h"
#include "scriptapi/game_functions_fixture.h"

namespace {

class ShopFunctionsTest : public GameFunctionsTest {
protected:
    void SetUp() override {
        GameFunctionsTest::SetUp();
        m_data.strings = {{"n_hmgun", "Machine gun"}, {"d_hmgun", "Fast"}, {"n_plate", "Plate"}};
        CPWeaponInfo gun{"n_hmgun", 100, 2, 0.5f, 3, 4.5f, 0.25f, 10, 5.0f, 0.125f, "d_hmgun", 1};
        AddItem(m_data.weaponInfos, m_data.weaponList, "hmgun", gun);
        gun.firstMission = 3;
        AddItem(m_data.weaponInfos, m_data.weaponList, "gauss", gun);
        gun.firstMission = 15;
        AddItem(m_data.weaponInfos, m_data.weaponList, "plasma", gun);
        gun.firstMission = 16;
        AddItem(m_data.weaponInfos, m_data.weaponList, "nuke", gun);
        AddItem(m_data.mineInfos, m_data.mineList, "mine1", CPMineInfo{"n_mine", 50, 1, 2, 3, 4, 5, 6, 7, "d_mine", 0});
        AddItem(m_data.superWeaponInfos, m_data.superWeaponList, "super", SPSuperWeaponInfo{"n_super", 500, "d_super", 1});
        AddItem(m_data.bumperInfos, m_data.bumperList, "spikes", SPBumperInfo{"n_spikes", 30, 1.5f, "d_spikes", 0});
        AddItem(m_data.equipmentInfos, m_data.equipmentList, "radar", SPEquipmentInfo{"n_radar", 40, 2, "d_radar", 0});
        AddItem(m_data.equipmentInfos, m_data.equipmentList, "turbo", SPEquipmentInfo{"n_turbo", 45, 3, "d_turbo", 2});
        AddItem(m_data.armorInfos, m_data.armorList, "plate", SPArmorInfo{"n_plate", 60, 150, "d_plate", 0});
        AddItem(m_data.engineInfos, m_data.engineList, "v8",
                SPEngineInfo{"n_v8", 70, {1, 2, 3}, 0.5f, 0.25f, "d_v8", 0});
        m_data.mission = 2;
    }

    template <class Info>
    static void AddItem(ItemMap<Info>& infos, ItemList<Info>& list, const std::string& name, const Info& info) {
        infos[name] = info;
        list.emplace_back(name, info);
    }

    CPGameData m_data;
};

TEST_F(ShopFunctionsTest, InfoFunctionsGiveTheTextsAndNumbersOfARecord) {
    const struct {
        const char* call;
        const char* results;
    } cases[] = {
        {"GetWeaponInfo('hmgun')", "Machine gun|100|2|0.5|3|4.5|0.25|10|5|0.125|Fast|1"},
        {"GetMineInfo('mine1')", "|50|1|2|3|4|5|6|7||0"},
        {"GetSuperWeaponInfo('super')", "|500||1"},
        {"GetBumperInfo('spikes')", "|30|1.5||0"},
        {"GetEquipmentInfo('radar')", "|40|2||0"},
        {"GetArmorInfo('plate')", "Plate|60|150||0"},
        {"GetEngineInfo('v8')", "|70|1|2|3|0.5|0.25||0"},
        {"GetWeaponInfo('mine1')", ""},  // not in that table: no results
        {"GetWeaponInfo(nil)", ""},
        {"GetArmorInfo({})", ""},
    };
    for (const auto& c : cases) EXPECT_EQ(Results(c.call), c.results) << c.call;
    EXPECT_EQ(m_data.strings.count("d_mine"), 1u) << "a missing text is entered empty";
}

TEST_F(ShopFunctionsTest, NamesOfferWhatTheMissionAllowsAndTheSetUpLacks) {
    const struct {
        const char* setup;  // statements before the call
        const char* call;
        const char* results;
    } cases[] = {
        {"", "GetWeaponNames()", "1|{hmgun}"},  // mission 2: gauss from 3 is not offered
        {"SetCurrentMission(3)", "GetWeaponNames()", "2|{hmgun,gauss}"},
        {"SetDifficult(true)", "GetWeaponNames()", "3|{hmgun,gauss,plasma}"},  // hard mode: up to 15
        {"SetDifficult(false) SetCarInfo('gauss', '', 'hmgun')", "GetWeaponNames()", "0|{}"},
        {"SetCarInfo('', 'hmgun', '')", "GetWeaponNames()", "1|{gauss}"},
        {"SetCarInfo('', '', '', 'radar', '', 'spikes', 'v8', 'plate', '', 0, 'mine1')", "GetEquipmentNames()",
         "1|{turbo}"},
        {"", "GetBumperNames()", "0|{}"},
        {"", "GetEngineNames()", "0|{}"},
        {"", "GetArmorNames()", "0|{}"},
        {"", "GetMineNames()", "0|{}"},
        {"", "GetSuperWeaponNames()", "1|{super}"},
        {"SetCarInfo('', '', '', '', '', '', '', '', 'super', 98)", "GetSuperWeaponNames()", "1|{super}"},
        {"SetCarInfo('', '', '', '', '', '', '', '', 'super', 99)", "GetSuperWeaponNames()", "0|{}"},
        {"SetCurrentMission(1)", "GetEquipmentNames()", "1|{radar}"},
    };
    m_data.mission = 2;
    for (const auto& c : cases) EXPECT_EQ(Results(c.call, c.setup), c.results) << c.setup << " " << c.call;
    EXPECT_EQ(m_data.mission, 1);
}

TEST_F(ShopFunctionsTest, TheEditedSetUpGoesInAndOutAndIsCommittedWhole) {
    m_data.editedSetup.weaponLevels = {1, 2, 3};
    const std::string values = "'hmgun', '', 'gauss', 'radar', 'turbo', 'spikes', 'v8', 'plate', 'super', 3.7, 'mine1'";
    EXPECT_EQ(Results("GetCarInfo()", "SetCarInfo(" + values + ")"),
              "hmgun||gauss|radar|turbo|spikes|v8|plate|super|3|mine1");
    EXPECT_EQ(m_data.editedSetup.weaponLevels, (std::array<int32_t, 3>{0, 0, 0}));
    EXPECT_EQ(Results("GetRealCarInfo()"), "|||||||||0|") << "not committed yet";
    EXPECT_EQ(Results("GetRealCarInfo()", "CommitCarSettings()"),
              "hmgun||gauss|radar|turbo|spikes|v8|plate|super|3|mine1");
    EXPECT_EQ(m_data.committedSetup, m_data.editedSetup);
    EXPECT_EQ(Results("GetCarInfo()", "SetCarInfo('hmgun', nil, {}, 4)"), "hmgun|||4||||||0|")
        << "what is no text is an empty slot";
}

TEST_F(ShopFunctionsTest, MoneyMissionAndKills) {
    const struct {
        const char* setup;
        const char* call;
        const char* results;
    } cases[] = {
        {"SetMoney(100.5)", "GetMoney()", "100"},
        {"SetMoney(-0.5)", "GetMoney()", "0"},
        {"SetMoney(0/0) SetMoney(1/0) SetMoney(1e39) SetMoney('x')", "GetMoney()", "0"},  // kept
        {"SetMoney(3e38)", "GetMoney()", "2.14748e+09"},
        {"SetMoney(-3e38)", "GetMoney()", "-2.14748e+09"},
        {"SetCurrentMission(3.7)", "GetCurrentMission()", "3"},
        {"SetCurrentMission(-1e39)", "GetCurrentMission()", "-2.14748e+09"},
        {"SetKills(12.9)", "GetScore()", "12"},
        {"", "IsValidGameDataName('v8'), IsValidGameDataName('V8'), IsValidGameDataName(nil)", "true|false|false"},
    };
    for (const auto& c : cases) EXPECT_EQ(Results(c.call, c.setup), c.results) << c.setup;
}

TEST_F(ShopFunctionsTest, AutoSettingBuysAPreset) {
    SPCarSetup preset;
    preset.weapons[0] = "gauss";
    m_data.shopPresets = {preset};
    m_data.money = 150.0f;
    m_data.mission = 1;
    EXPECT_EQ(Results("GetCarInfo()", "AutoSetting()"), "gauss|||||||||0|");
    EXPECT_EQ(m_data.money, 50.0f);
}

}  // namespace
