#pragma once
#include <algorithm>
#include <cstdint>

// Screens and fonts choose their render layers by an offset from their base layer (a script's
// screen variant, a font's layer offset in the font list). Held within this limit, a layer
// number stays far from the ends of its range.
constexpr int32_t kLayerOffsetLimit = 1000000;

inline int32_t ClampLayerOffset(int32_t offset) { return std::clamp(offset, -kLayerOffsetLimit, kLayerOffsetLimit); }
