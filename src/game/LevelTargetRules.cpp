// The level as the scene objects' game rules: damage factor, current targets and rewards.
#include <algorithm>
#include <cmath>
#include <limits>

#include "Render/PGameObject.h"
#include "core/TextHelpers.h"
#include "game/PGameData.h"
#include "game/PLevel.h"
#include "script/PScriptManager.h"

namespace {

// The ceiling of the reward as a whole amount of money, kept within int32 (0 for a NaN).
int32_t WholeReward(float reward)
{
    const double whole = std::ceil(static_cast<double>(reward));
    if (std::isnan(whole)) return 0;
    return static_cast<int32_t>(std::clamp(whole, static_cast<double>(std::numeric_limits<int32_t>::min()),
                                           static_cast<double>(std::numeric_limits<int32_t>::max())));
}

int32_t SaturatedAdd(int32_t a, int32_t b)
{
    const int64_t sum = static_cast<int64_t>(a) + b;
    return static_cast<int32_t>(std::clamp<int64_t>(sum, std::numeric_limits<int32_t>::min(),
                                                    std::numeric_limits<int32_t>::max()));
}

void PayReward(float reward)
{
    CPGameData* data = GetGameData();
    if (!data) return;
    const int32_t whole = WholeReward(reward);
    data->money += static_cast<float>(whole);
    if (CPScriptManager* manager = GetScriptManager()) {
        manager->SendCommandByName("gamemenu", "change_money", FloatText(data->money));
    }
    data->score = SaturatedAdd(data->score, whole);
}

}  // namespace

float CPLevel::GetDamageFactor() const { return g_damageMultiplier; }

bool CPLevel::IsCurrentTarget(const CPGameObject& object, int32_t checkPoint) const
{
    if (checkPoint >= 0) return checkPoint == checkPointIndex;
    return IsStageTarget(&object);
}

void CPLevel::OnTargetDestroyed(const CPGameObject& object, float reward)
{
    RemoveTarget(&object);
    PayReward(reward);
}
