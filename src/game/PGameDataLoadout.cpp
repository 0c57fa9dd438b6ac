// The game data's car set-ups, their money value, the upgrade pick-ups and the difficulty
// coefficients.
#include <array>

#include "core/SettingsVariables.h"
#include "game/DataFileReader.h"
#include "game/PGameData.h"
#include "script/PScriptManager.h"

namespace {

constexpr int32_t kTopWeaponLevel = 4;

// A weapon's name after the upgrade to level (2 or 4), and the key of the text that tells the
// player; false for weapons without upgrade names.
bool UpgradedWeapon(const std::string& weapon, int32_t level, std::string& upgraded, std::string& textKey)
{
    struct Upgrade {
        const char* base;
        const char* textKey;
    };
    static constexpr Upgrade kUpgrades[] = {{"hmgun", "lgu"}, {"firethrower", "pgu"}, {"ssrlauncher", "rlu"}};
    for (const Upgrade& upgrade : kUpgrades) {
        const std::string from = level == 2 ? std::string(upgrade.base) : std::string(upgrade.base) + "2";
        if (weapon != from) continue;
        upgraded = std::string(upgrade.base) + (level == 2 ? "2" : "3");
        textKey = upgrade.textKey;
        return true;
    }
    return false;
}

template <class Info>
float PriceOf(const Info* info)
{
    return info ? static_cast<float>(info->price) : 0.0f;
}

bool IsSlot(int32_t slot)
{
    return slot >= 0 && slot < 3;
}

}  // namespace

void CPGameData::LoadPlayer()
{
    SPCarSetup setup;
    SPCarSetup read;
    const DataFileResult result =
        LoadDataFile("DATA\\player.dat", false, [&](const uint8_t* data, size_t size, std::string& error) {
            return ParsePlayerSetup(data, size, read, error);
        });
    if (result == DataFileResult::Loaded) setup = read;
    SetCarSetup(setup);
    CommitCarSetup();
}

void CPGameData::SetCarSetup(const SPCarSetup& setup)
{
    editedSetup = setup;
}

void CPGameData::CommitCarSetup()
{
    committedSetup = editedSetup;
}

void CPGameData::LoadCoefficients()
{
    if (g_difficulty != 0 && hardMode) {
        enemyHealthFactor = playerDamageFactor = bonusChanceFactor = levelTimeFactor = 1.0f;
        return;
    }
    std::array<float, 4> read{};
    const DataFileResult result =
        LoadDataFile("DATA\\coeff.dat", false, [&](const uint8_t* data, size_t size, std::string& error) {
            return ParseCoefficients(data, size, read, error);
        });
    if (result != DataFileResult::Loaded) return;
    enemyHealthFactor = read[0];
    playerDamageFactor = read[1];
    bonusChanceFactor = read[2];
    levelTimeFactor = read[3];
}

float CPGameData::GetLoadoutValue(const SPCarSetup& setup) const
{
    float value = 0.0f;
    for (const std::string& weapon : setup.weapons) {
        if (!weapon.empty()) value += PriceOf(FindWeaponInfo(weapon));
    }
    for (const std::string& item : setup.equipment) {
        if (!item.empty()) value += PriceOf(FindEquipmentInfo(item));
    }
    if (!setup.bumper.empty()) value += PriceOf(FindBumperInfo(setup.bumper));
    if (!setup.armor.empty()) value += PriceOf(FindArmorInfo(setup.armor));
    if (!setup.engine.empty()) value += PriceOf(FindEngineInfo(setup.engine));
    if (!setup.mine.empty()) value += PriceOf(FindMineInfo(setup.mine));
    if (!setup.superWeapon.empty()) {
        value += PriceOf(FindSuperWeaponInfo(setup.superWeapon)) * static_cast<float>(setup.superWeaponCount);
    }
    return value;
}

bool CPGameData::CanUpgradeAll() const
{
    for (int32_t level : committedSetup.weaponLevels) {
        if (level < kTopWeaponLevel) return true;
    }
    return committedSetup.superWeapon != "super3";
}

bool CPGameData::CanUpgradeWeapon(int32_t currentSlot) const
{
    if (IsSlot(currentSlot) && committedSetup.weaponLevels[currentSlot] < kTopWeaponLevel) return true;
    return committedSetup.superWeapon != "super3";
}

bool CPGameData::UpgradeWeaponSlot(int32_t currentSlot)
{
    if (IsSlot(currentSlot) && committedSetup.weaponLevels[currentSlot] < kTopWeaponLevel) {
        const int32_t level = ++committedSetup.weaponLevels[currentSlot];
        if (level != 2 && level != 4) return false;
        std::string& weapon = committedSetup.weapons[currentSlot];
        std::string upgraded;
        std::string textKey;
        if (UpgradedWeapon(weapon, level, upgraded, textKey)) {
            weapon = upgraded;
            ShowUpgradeText(textKey);
        }
        return true;
    }
    std::string& super = committedSetup.superWeapon;
    if (super != "super" && super != "super2") return false;
    super = super == "super" ? "super2" : "super3";
    ShowUpgradeText("nu");
    return false;
}

void CPGameData::ShowUpgradeText(const std::string& key) const
{
    if (CPScriptManager* scripts = GetScriptManager()) scripts->SendCommandByName("gamemenu", "mission_text2", GetText(key));
}
