// The game data's money and automatic purchase.
#include <algorithm>
#include <cstdint>

#include "core/TextHelpers.h"
#include "game/PGameData.h"
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
