#include "scriptapi/BonusDraw.h"

#include "platform/Random.h"

std::string DrawBonus(int32_t percentage, float factor, const ChanceBands& bands) {
    // Kept within what the draw can reach (a factor from a damaged file may be anything).
    const float product = static_cast<float>(percentage) * factor;
    const int32_t chance = product >= 100.0f ? 100 : product > -1.0f ? static_cast<int32_t>(product) : -1;
    if (platform::Rand() % 100 > chance) return {};
    const SPChanceBand* band = FindBand(bands, platform::Rand() % 100);
    return band ? band->name : std::string();
}
