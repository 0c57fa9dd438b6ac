#include "physics/engine/PhysicsTriangleInfo.h"

#include <cmath>

namespace {

// The two coordinates kept when the triangle is seen along its normal's largest component, and
// whether that component is positive.
void ProjectionAxes(const PhysicsVector& n, int& u, int& v, bool& positive)
{
    const float ax = std::fabs(n.x), ay = std::fabs(n.y), az = std::fabs(n.z);
    int dropped;
    if (ay > az && ay > ax) dropped = 1;
    else if (ay > az) dropped = 0;
    else if (az <= ax) dropped = 0;
    else dropped = 2;
    u = (dropped + 1) % 3;
    v = (dropped + 2) % 3;
    positive = At(n, dropped) > 0.0f;
}

float Cross2(const PhysicsVector& edge, const PhysicsVector& toPoint, int u, int v)
{
    return At(edge, u) * At(toPoint, v) - At(edge, v) * At(toPoint, u);
}

}  // namespace

PhysicsTriangleInfo::PhysicsTriangleInfo(const PhysicsVector& p0, const PhysicsVector& p1, const PhysicsVector& p2)
{
    p[0] = p0;
    p[1] = p1;
    p[2] = p2;
    e[0] = p1 - p0;
    e[1] = p2 - p1;
    e[2] = p0 - p2;
    normal = Normalized(Cross(e[0], e[1]));
    offset = Dot(normal, p0);
}

int32_t PhysicsTriangleInfo::Locate(const PhysicsVector& point) const
{
    int u, v;
    bool positive;
    ProjectionAxes(normal, u, v, positive);
    const float side[3] = {Cross2(e[0], point - p[0], u, v), Cross2(e[1], point - p[1], u, v),
                           Cross2(e[2], point - p[2], u, v)};
    const bool allPositive = side[0] > 0 && side[1] > 0 && side[2] > 0;
    const bool nonePositive = side[0] <= 0 && side[1] <= 0 && side[2] <= 0;
    if (allPositive || nonePositive) return -1;
    // Outside one edge only: that edge's region; outside two: the vertex they share.
    const bool out[3] = {side[0] <= 0, side[1] <= 0, side[2] <= 0};
    int32_t code;
    if (out[0] && out[2]) code = 0;
    else if (out[0] && out[1]) code = 2;
    else if (out[1] && out[2]) code = 4;
    else if (out[0]) code = 1;
    else if (out[1]) code = 3;
    else code = 5;
    return positive ? code : (code + 3) % 6;
}

bool PhysicsTriangleInfo::Contains(const PhysicsVector& point) const
{
    const float s0 = Dot(Cross(e[0], point - p[0]), normal);
    const float s1 = Dot(Cross(e[1], point - p[1]), normal);
    const float s2 = Dot(Cross(e[2], point - p[2]), normal);
    return (s0 >= 0 && s1 >= 0 && s2 >= 0) || (s0 <= 0 && s1 <= 0 && s2 <= 0);
}
