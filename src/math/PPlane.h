#pragma once
#include <optional>
#include <type_traits>

#include "math/PVector3.h"
#include "math/PVector4.h"

// The plane a·x + b·y + c·z + d = 0; (a, b, c) is its normal.
struct PPlane {
    float a;
    float b;
    float c;
    float d;

    bool operator==(const PPlane&) const = default;
};
static_assert(sizeof(PPlane) == 16 && std::is_standard_layout_v<PPlane> && std::is_trivially_copyable_v<PPlane>);

inline PVector3 PlaneNormal(const PPlane& p) { return {p.a, p.b, p.c}; }

// Four-component dot product of the plane with a homogeneous vector.
inline float PlaneDot(const PPlane& p, const PVector4& v) { return p.a * v.x + p.b * v.y + p.c * v.z + p.d * v.w; }

// The plane's equation at a point: the signed distance when the plane is normalised.
inline float PlaneDotCoord(const PPlane& p, const PVector3& v) { return p.a * v.x + p.b * v.y + p.c * v.z + p.d; }

// Dot product of the plane's normal with a direction.
inline float PlaneDotNormal(const PPlane& p, const PVector3& v) { return p.a * v.x + p.b * v.y + p.c * v.z; }

// The plane through point with the given normal; the normal is used as given, not normalised.
inline PPlane PlaneFromPointNormal(const PVector3& point, const PVector3& normal)
{
    return {normal.x, normal.y, normal.z, -Vec3Dot(normal, point)};
}

// The plane through three points with normal = normalise((p2 − p1) × (p3 − p1)). In the
// left-handed frame this normal faces a viewer who sees p1, p2, p3 in clockwise order, the
// winding of front faces. Collinear points give the normal (0, 0, 0).
PPlane PlaneFromPoints(const PVector3& p1, const PVector3& p2, const PVector3& p3);

// Scales the plane so that its normal has length 1; a plane with a zero normal stays as it is.
PPlane PlaneNormalize(const PPlane& p);

// Where the infinite line through p1 and p2 meets the plane; nothing when the line is
// parallel to the plane (or p1 equals p2).
std::optional<PVector3> PlaneIntersectLine(const PPlane& plane, const PVector3& p1, const PVector3& p2);
