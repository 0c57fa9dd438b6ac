#include "Render/PBoundingBox.h"

#include <cmath>

#include "Render/PObb.h"

namespace {

PVector3 Smaller(const PVector3& a, const PVector3& b)
{
    return {b.x < a.x ? b.x : a.x, b.y < a.y ? b.y : a.y, b.z < a.z ? b.z : a.z};
}

PVector3 Larger(const PVector3& a, const PVector3& b)
{
    return {b.x > a.x ? b.x : a.x, b.y > a.y ? b.y : a.y, b.z > a.z ? b.z : a.z};
}

// Distance from p to the interval [low, high] along one axis.
float AxisGap(float p, float low, float high)
{
    if (p < low) {
        return low - p;
    }
    if (p > high) {
        return p - high;
    }
    return 0.0f;
}

}  // namespace

CPBoundingBox::CPBoundingBox()
{
    SetEmpty();
    Recompute();
}

void CPBoundingBox::Recompute()
{
    centre = (min + max) * 0.5f;
    halfExtents = (max - min) * 0.5f;
}

bool CPBoundingBox::IsEmpty() const
{
    return min.x > max.x || min.y > max.y || min.z > max.z;
}

PVector3 CPBoundingBox::HalfExtentsOrZero() const
{
    return IsEmpty() ? PVector3{0.0f, 0.0f, 0.0f} : halfExtents;
}

void CPBoundingBox::SetEmpty()
{
    min = {kEmptyExtent, kEmptyExtent, kEmptyExtent};
    max = {-kEmptyExtent, -kEmptyExtent, -kEmptyExtent};
}

void CPBoundingBox::SetFromObb(const CPObb& box)
{
    min = box.GetMin();
    max = box.GetMax();
    Recompute();
}

void CPBoundingBox::SetFromObbs(const std::vector<CPObb>& boxes)
{
    if (boxes.empty()) {
        SetEmpty();
        return;
    }
    min = boxes.front().GetMin();
    max = boxes.front().GetMax();
    for (const CPObb& box : boxes) {
        min = Smaller(min, box.GetMin());
        max = Larger(max, box.GetMax());
    }
    Recompute();
}

void CPBoundingBox::Merge(const CPBoundingBox& other)
{
    MergeNoRecompute(other);
    Recompute();
}

void CPBoundingBox::MergeNoRecompute(const CPBoundingBox& other)
{
    min = Smaller(min, other.min);
    max = Larger(max, other.max);
}

void CPBoundingBox::AddShadow(const PMatrix& matrix)
{
    const PVector3 low = min;
    const PVector3 high = max;
    for (int i = 0; i < 8; ++i) {
        const PVector3 corner{(i & 1) ? high.x : low.x, (i & 2) ? high.y : low.y, (i & 4) ? high.z : low.z};
        const PVector3 shadow = Vec3TransformCoord(corner, matrix);
        min = Smaller(min, shadow);
        max = Larger(max, shadow);
    }
}

bool CPBoundingBox::IntersectsSegment(const PVector3& origin, const PVector3& direction, float length) const
{
    const float e = length * 0.5f;
    const PVector3 t = centre - (origin + direction * e);
    const PVector3 d = direction;
    const PVector3& h = halfExtents;
    const PVector3 ad{std::fabs(d.x), std::fabs(d.y), std::fabs(d.z)};

    if (std::fabs(t.x) > e * ad.x + h.x || std::fabs(t.y) > e * ad.y + h.y || std::fabs(t.z) > e * ad.z + h.z) {
        return false;
    }
    if (std::fabs(t.y * d.z - t.z * d.y) > h.y * ad.z + h.z * ad.y) {
        return false;
    }
    if (std::fabs(t.z * d.x - t.x * d.z) > h.x * ad.z + h.z * ad.x) {
        return false;
    }
    return !(std::fabs(t.x * d.y - t.y * d.x) > h.x * ad.y + h.y * ad.x);
}

bool CPBoundingBox::IntersectsSphere(const PVector3& point, float radius) const
{
    const PVector3 gap{AxisGap(point.x, min.x, max.x), AxisGap(point.y, min.y, max.y), AxisGap(point.z, min.z, max.z)};
    return Vec3LengthSq(gap) <= radius * radius;
}
