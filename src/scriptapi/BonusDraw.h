#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "platform/Random.h"

// The bonus a check point drops, drawn from the engine's generator (never reseeded here, so that
// seeded runs repeat): nothing unless a draw of 0 to 99 is at most the chance (the check point's
// percentage times the factor, truncated; a draw equal to it still drops); then a second draw of
// 0 to 99 picks the band holding it (low ≤ draw < high), by its name. "" for no drop. Band is a
// record with name, low and high.
template <class Band>
std::string DrawBonus(int32_t percentage, float factor, const std::vector<Band>& bands) {
    // Kept within what the draw can reach (a factor from a damaged file may be anything).
    const float product = static_cast<float>(percentage) * factor;
    const int32_t chance = product >= 100.0f ? 100 : product > -1.0f ? static_cast<int32_t>(product) : -1;
    if (platform::Rand() % 100 > chance) return {};
    const int32_t draw = platform::Rand() % 100;
    for (const Band& band : bands) {
        if (band.low <= draw && draw < band.high) return band.name;
    }
    return {};
}
