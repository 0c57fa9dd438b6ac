#include "core/GeometryHelpers.h"

#include <algorithm>
#include <cmath>

namespace {

// The edge (u0, v0)-(u1, v1) counts when u lies between its ends (inclusive) and v is at most
// the edge's v at u.
bool EdgeCounts(float u, float v, float u0, float v0, float u1, float v1)
{
    if (u < std::min(u0, u1) || u > std::max(u0, u1)) return false;
    const float slope = (v1 - v0) / (u1 - u0);
    return v <= v0 + (u - u0) * slope;
}

}  // namespace

float FAbs(float value)
{
    return std::fabs(value);
}

float ClampedAcos(float value)
{
    return std::acos(std::clamp(value, -1.0f, 1.0f));
}

float ClampedAsin(float value)
{
    return std::asin(std::clamp(value, -1.0f, 1.0f));
}

float RayPlaneDistance(const PVector3& origin, const PVector3& direction, const PPlane& plane)
{
    const float facing = PlaneDotNormal(plane, direction);
    if (facing >= 0.0f) return -1.0f;
    return -PlaneDotCoord(plane, origin) / facing;
}

bool PointInTriangle(const PVector3& point, const PVector3& a, const PVector3& b, const PVector3& c)
{
    const PVector3 n = Vec3Cross(a - b, c - b);
    const float nx = std::fabs(n.x), ny = std::fabs(n.y), nz = std::fabs(n.z);
    float PVector3::*u = &PVector3::y;
    float PVector3::*v = &PVector3::z;
    if (nz >= nx && nz >= ny) {
        u = &PVector3::x;
        v = &PVector3::y;
    } else if (ny >= nz && ny >= nx) {
        u = &PVector3::x;
        v = &PVector3::z;
    }
    const int count = int(EdgeCounts(point.*u, point.*v, a.*u, a.*v, b.*u, b.*v)) +
                      int(EdgeCounts(point.*u, point.*v, b.*u, b.*v, c.*u, c.*v)) +
                      int(EdgeCounts(point.*u, point.*v, c.*u, c.*v, a.*u, a.*v));
    return count == 1;
}
