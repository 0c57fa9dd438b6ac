#pragma once
#include <string>

#include "math/PMath.h"

// An oriented box: a box given in a local frame (centre and half sizes along the local axes),
// carried into the world by a matrix. Update keeps its eight world corners, its six outward
// world face planes and its world axis-aligned bounds. A plain value type: copied whole,
// also inside vectors.
//
// Corner numbering, by the signs of the offsets from the centre along local x, y, z:
// 0 (−,−,−), 1 (+,−,−), 2 (+,+,−), 3 (−,+,−), 4 (−,−,+), 5 (+,−,+), 6 (+,+,+), 7 (−,+,+).
// Planes: 0 z = −h, 1 x = +h, 2 y = +h, 3 x = −h, 4 y = −h, 5 z = +h; each normal is
// unnormalised and points out of the box (for a world matrix without reflection).
class CPObb {
public:
    static constexpr int kCornerCount = 8;
    static constexpr int kPlaneCount = 6;
    // Half sizes below this are raised to it by Update, so no box is flat.
    static constexpr float kMinHalfSize = 0.001f;

    // A box of zero size at the origin.
    CPObb();
    // world, local and axes are the identity; min and max are centre ∓ halfSize. Corners and
    // planes stay zero until the first Update.
    CPObb(const PVector4& centre, const PVector4& halfSize);
    virtual ~CPObb() = default;

    CPObb(const CPObb&) = default;
    CPObb& operator=(const CPObb&) = default;

    virtual std::string GetClassName() const;

    // Clamps the half sizes, then recomputes the world corners, planes and bounds from world.
    void Update();

    // Looks for the nearest face that the segment from origin along the unit direction enters
    // before distance. On a hit, distance becomes the hit's distance, hitPlane the face's
    // plane, and the result is true; otherwise both stay. Only faces seen from outside count.
    // A segment that starts inside the box hits at distance 0, reporting the plane of the face
    // nearest to its start. Passing the same distance through calls over several boxes finds
    // the nearest hit of them all.
    bool IntersectSegment(const PVector3& origin, const PVector3& direction, float& distance, PPlane& hitPlane) const;

    const PVector4& GetCentre() const { return m_centre; }
    const PVector4& GetHalfSize() const { return m_halfSize; }
    const PMatrix& GetAxes() const { return m_axes; }
    const PVector4& GetCorner(int index) const { return m_corners[index]; }
    const PPlane& GetPlane(int index) const { return m_planes[index]; }
    const PVector3& GetMin() const { return m_min; }
    const PVector3& GetMax() const { return m_max; }

    // The local-to-world transform that Update uses.
    const PMatrix& GetWorld() const { return m_world; }
    void SetWorld(const PMatrix& world) { m_world = world; }
    // The box's transform relative to its owner; the owner sets world = local × its own world.
    const PMatrix& GetLocal() const { return m_local; }
    void SetLocal(const PMatrix& local) { m_local = local; }

private:
    void ComputeCorners();
    void ComputePlanes();
    void ComputeBounds();
    // True when point lies strictly inside every face plane (as of the last Update).
    bool Contains(const PVector3& point) const;
    bool FaceContains(int face, const PVector3& point) const;
    const PPlane& NearestPlane(const PVector3& point) const;

    PVector4 m_centre;
    PVector4 m_halfSize;
    PMatrix m_axes;
    PVector4 m_corners[kCornerCount] = {};
    PPlane m_planes[kPlaneCount] = {};
    PVector3 m_min;
    PVector3 m_max;
    PMatrix m_world;
    PMatrix m_local;
};
