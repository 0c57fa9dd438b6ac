#pragma once
#include <cstdint>
#include <string>

#include "game/PMission.h"

// The bonus a check point drops, drawn from the engine's generator (never reseeded here, so that
// seeded runs repeat): nothing unless a draw of 0 to 99 is at most the chance (the check point's
// percentage times the factor, truncated; a draw equal to it still drops); then a second draw of
// 0 to 99 picks the band holding it, by its name. "" for no drop.
std::string DrawBonus(int32_t percentage, float factor, const ChanceBands& bands);
