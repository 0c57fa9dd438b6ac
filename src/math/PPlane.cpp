#include "math/PPlane.h"

#include <cmath>

PPlane PlaneFromPoints(const PVector3& p1, const PVector3& p2, const PVector3& p3)
{
    return PlaneFromPointNormal(p1, Vec3Normalize(Vec3Cross(p2 - p1, p3 - p1)));
}

PPlane PlaneNormalize(const PPlane& p)
{
    const float length = Vec3Length(PlaneNormal(p));
    if (length == 0.0f) {
        return p;
    }
    return {p.a / length, p.b / length, p.c / length, p.d / length};
}

std::optional<PVector3> PlaneIntersectLine(const PPlane& plane, const PVector3& p1, const PVector3& p2)
{
    const PVector3 direction = p2 - p1;
    const float along = PlaneDotNormal(plane, direction);
    if (along == 0.0f) {
        return std::nullopt;
    }
    const float t = -PlaneDotCoord(plane, p1) / along;
    return p1 + direction * t;
}
