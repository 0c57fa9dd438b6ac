// The level as the scene objects' game rules: damage factor, current targets and rewards.
#include <algorithm>
#include <cmath>
#include <limits>

#include "Render/PGameObject.h"
#include "game/PGameData.h"
#include "game/PLevel.h"

namespace {

// The ceiling of the reward as a whole amount of money, kept within int32 (0 for a NaN).
int32_t WholeReward(float reward)
{
    const double whole = std::ceil(static_cast<double>(reward));
    if (std::isnan(whole)) return 0;
    return static_cast<int32_t>(std::clamp(whole, static_cast<double>(std::numeric_limits<int32_t>::min()),
                                           static_cast<double>(std::numeric_limits<int32_t>::max())));
}

void PayReward(float reward)
{
    const int32_t whole = WholeReward(reward);
    if (CPGameData* data = GetGameData()) data->Earn(static_cast<float>(whole), whole);
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
