// The game data's money and automatic purchase.
#include <algorithm>
#include <cmath>
#include <cstdint>
#include <limits>

#include "core/TextHelpers.h"
#include "game/PGameData.h"
#include "math/SaturatingAdd.h"
#include "script/PScriptManager.h"

namespace {

constexpr int64_t kPresetsPerMission = 3;

}  // namespace

void CPGameData::SetMoney(float value)
{
    money = value;
    if (CPScriptManager* scripts = GetScriptManager()) {
        scripts->SendCommandByName("gamemenu", "change_money", FloatText(money));
    }
}

void CPGameData::Earn(float moneyAmount, int32_t scoreAmount)
{
    constexpr float kMostMoney = std::numeric_limits<float>::max();
    if (std::isfinite(moneyAmount)) money = std::clamp(money + moneyAmount, -kMostMoney, kMostMoney);
    score = SaturatingAdd(score, scoreAmount);
    SetMoney(money);
}

bool CPGameData::BuyBestPreset()
{
    if (mission <= 0 || shopPresets.empty()) return false;
    const float budget = money + GetLoadoutValue(editedSetup);
    const int64_t last = static_cast<int64_t>(shopPresets.size()) - 1;
    for (int64_t i = std::min(kPresetsPerMission * mission - 1, last); i >= 0; --i) {
        const SPCarSetup& preset = shopPresets[static_cast<size_t>(i)];
        const float value = GetLoadoutValue(preset);
        if (value > budget) continue;
        editedSetup = preset;
        SetMoney(budget - value);
        return true;
    }
    return false;
}
