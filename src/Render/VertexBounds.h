#pragma once
#include <algorithm>

#include "Render/PObb.h"

// The bounds that model readers gather over vertex positions, from their fixed starting values
// (minimum 5,000,000 on each axis; maximum -500,000 on x and z, -5,000,000 on y), and the box
// they give: centre (min + max) / 2, half size (max - min) / 2.
struct SPVertexBounds {
    PVector3 low{5000000.0f, 5000000.0f, 5000000.0f};
    PVector3 high{-500000.0f, -5000000.0f, -500000.0f};

    void Add(const PVector3& p) {
        low = {std::min(low.x, p.x), std::min(low.y, p.y), std::min(low.z, p.z)};
        high = {std::max(high.x, p.x), std::max(high.y, p.y), std::max(high.z, p.z)};
    }
    CPObb Box() const {
        const PVector3 centre = (low + high) * 0.5f;
        const PVector3 half = (high - low) * 0.5f;
        return CPObb({centre.x, centre.y, centre.z, 0.0f}, {half.x, half.y, half.z, 0.0f});
    }
};
