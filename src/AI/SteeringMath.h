#pragma once
#include <cmath>
#include <cstdint>

#include "math/PVector3.h"

// Small vector helpers of the enemies' steering.

// -1 below low, +1 above high, else 0.
inline int32_t ClassifyInInterval(float x, float low, float high)
{
    if (x < low) return -1;
    if (x > high) return 1;
    return 0;
}

// v shortened to length max when it is longer.
inline PVector3 ClampLength(const PVector3& v, float max)
{
    const float lengthSq = Vec3LengthSq(v);
    if (lengthSq <= max * max) return v;
    return v * (max / std::sqrt(lengthSq));
}

// The part of v along the unit vector u.
inline PVector3 ProjectOnto(const PVector3& v, const PVector3& u) { return u * Vec3Dot(v, u); }

// v kept within (inside) or outside (!inside) the cone of the given cosine around the unit
// vector basis, with its length kept. A zero vector stays zero.
PVector3 ClampToCone(bool inside, const PVector3& v, float cosine, const PVector3& basis);
