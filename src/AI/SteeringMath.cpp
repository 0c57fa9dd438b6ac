#include "AI/SteeringMath.h"

#include <algorithm>
#include <cmath>

PVector3 ClampToCone(bool inside, const PVector3& v, float cosine, const PVector3& basis)
{
    const float length = Vec3Length(v);
    if (length == 0.0f) return v;
    const float c = Vec3Dot(v / length, basis);
    if (inside ? c >= cosine : c <= cosine) return v;
    PVector3 perpendicular = v - basis * Vec3Dot(v, basis);
    if (Vec3Length(perpendicular) > 0.0f) perpendicular = Vec3Normalize(perpendicular);
    const float sine = std::sqrt(std::max(0.0f, 1.0f - cosine * cosine));
    return (perpendicular * sine + basis * cosine) * length;
}
