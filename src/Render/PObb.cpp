#include "Render/PObb.h"

#include <cmath>

#include "core/GeometryHelpers.h"

namespace {

// Corner signs along local x, y, z in corner order.
constexpr float kCornerSigns[CPObb::kCornerCount][3] = {
    {-1, -1, -1}, {1, -1, -1}, {1, 1, -1}, {-1, 1, -1}, {-1, -1, 1}, {1, -1, 1}, {1, 1, 1}, {-1, 1, 1},
};

// Each face plane passes through corner A with normal (B − A) × (C − A).
constexpr int kPlaneCorners[CPObb::kPlaneCount][3] = {
    {0, 2, 1}, {1, 6, 5}, {2, 7, 6}, {3, 4, 7}, {0, 5, 4}, {5, 7, 4},
};

// The quad of each face, tested as the triangles (0, 1, 2) and (0, 2, 3) of its list.
constexpr int kFaceQuads[CPObb::kPlaneCount][4] = {
    {0, 1, 2, 3}, {1, 5, 6, 2}, {2, 6, 7, 3}, {3, 7, 4, 0}, {0, 4, 5, 1}, {4, 5, 6, 7},
};

PVector3 Xyz(const PVector4& v) { return {v.x, v.y, v.z}; }

}  // namespace

CPObb::CPObb() : CPObb({0.0f, 0.0f, 0.0f, 1.0f}, {0.0f, 0.0f, 0.0f, 0.0f}) {}

CPObb::CPObb(const PVector4& centre, const PVector4& halfSize)
    : m_centre(centre),
      m_halfSize(halfSize),
      m_axes(MatrixIdentity()),
      m_min{centre.x - halfSize.x, centre.y - halfSize.y, centre.z - halfSize.z},
      m_max{centre.x + halfSize.x, centre.y + halfSize.y, centre.z + halfSize.z},
      m_world(MatrixIdentity()),
      m_local(MatrixIdentity())
{
}

std::string CPObb::GetClassName() const { return "CPObb"; }

void CPObb::Update()
{
    m_halfSize.x = std::fmax(m_halfSize.x, kMinHalfSize);
    m_halfSize.y = std::fmax(m_halfSize.y, kMinHalfSize);
    m_halfSize.z = std::fmax(m_halfSize.z, kMinHalfSize);
    ComputeCorners();
    ComputePlanes();
    ComputeBounds();
}

void CPObb::ComputeCorners()
{
    for (int i = 0; i < kCornerCount; ++i) {
        const PVector4 local{m_centre.x + kCornerSigns[i][0] * m_halfSize.x,
                             m_centre.y + kCornerSigns[i][1] * m_halfSize.y,
                             m_centre.z + kCornerSigns[i][2] * m_halfSize.z, 1.0f};
        m_corners[i] = Vec4Transform(local, m_world);
    }
}

void CPObb::ComputePlanes()
{
    for (int i = 0; i < kPlaneCount; ++i) {
        const PVector3 a = Xyz(m_corners[kPlaneCorners[i][0]]);
        const PVector3 b = Xyz(m_corners[kPlaneCorners[i][1]]);
        const PVector3 c = Xyz(m_corners[kPlaneCorners[i][2]]);
        m_planes[i] = PlaneFromPointNormal(a, Vec3Cross(b - a, c - a));
    }
}

void CPObb::ComputeBounds()
{
    m_min = m_max = Xyz(m_corners[0]);
    for (const PVector4& corner : m_corners) {
        m_min = {std::fmin(m_min.x, corner.x), std::fmin(m_min.y, corner.y), std::fmin(m_min.z, corner.z)};
        m_max = {std::fmax(m_max.x, corner.x), std::fmax(m_max.y, corner.y), std::fmax(m_max.z, corner.z)};
    }
}

bool CPObb::IntersectSegment(const PVector3& origin, const PVector3& direction, float& distance,
                             PPlane& hitPlane) const
{
    if (distance > 0.0f && Contains(origin)) {
        distance = 0.0f;
        hitPlane = NearestPlane(origin);
        return true;
    }
    bool hit = false;
    for (int face = 0; face < kPlaneCount; ++face) {
        const float t = RayPlaneDistance(origin, direction, m_planes[face]);
        if (!(t < distance && t >= 0.0f)) {
            continue;
        }
        if (FaceContains(face, origin + direction * t)) {
            hitPlane = m_planes[face];
            distance = t;
            hit = true;
        }
    }
    return hit;
}

bool CPObb::FaceContains(int face, const PVector3& point) const
{
    const int* quad = kFaceQuads[face];
    const PVector3 a = Xyz(m_corners[quad[0]]);
    const PVector3 b = Xyz(m_corners[quad[1]]);
    const PVector3 c = Xyz(m_corners[quad[2]]);
    const PVector3 d = Xyz(m_corners[quad[3]]);
    return PointInTriangle(point, a, b, c) || PointInTriangle(point, a, c, d);
}

bool CPObb::Contains(const PVector3& point) const
{
    for (const PPlane& plane : m_planes) {
        if (!(PlaneDotCoord(plane, point) < 0.0f)) {
            return false;
        }
    }
    return true;
}

// The face plane with the smallest distance to a point inside the box.
const PPlane& CPObb::NearestPlane(const PVector3& point) const
{
    int nearest = 0;
    float nearestDistance = -INFINITY;
    for (int i = 0; i < kPlaneCount; ++i) {
        const float length = Vec3Length(PlaneNormal(m_planes[i]));
        const float signedDistance = PlaneDotCoord(m_planes[i], point) / length;
        if (signedDistance > nearestDistance) {
            nearestDistance = signedDistance;
            nearest = i;
        }
    }
    return m_planes[nearest];
}
