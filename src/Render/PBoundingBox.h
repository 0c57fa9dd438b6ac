#pragma once
#include <vector>

#include "math/PMath.h"

class CPObb;

// An axis-aligned box kept both as min/max and as centre/half extents. Recompute brings the
// second pair in line after min or max changed.
//
// The empty box (min 1,000,000 and max −1,000,000 on every axis) is what a box becomes from no
// boxes at all and what a new box is; it meets no segment or sphere of the world's sizes, and
// merging it into another box changes nothing.
struct CPBoundingBox {
    static constexpr float kEmptyExtent = 1000000.0f;

    PVector3 centre;
    PVector3 min;
    PVector3 max;
    PVector3 halfExtents;

    // The empty box.
    CPBoundingBox();

    // centre = (min + max) / 2, halfExtents = (max − min) / 2.
    void Recompute();
    // True while nothing has widened the box (min lies above max).
    bool IsEmpty() const;
    // The half extents, or zero for an empty box, whose stored extents are huge and negative.
    PVector3 HalfExtentsOrZero() const;
    // Makes min and max the empty values; centre and halfExtents stay.
    void SetEmpty();
    // The box's world bounds.
    void SetFromObb(const CPObb& box);
    // The union of the boxes' world bounds; an empty list gives the empty min and max (centre
    // and halfExtents then stay).
    void SetFromObbs(const std::vector<CPObb>& boxes);
    // Widens min and max to enclose other, then recomputes.
    void Merge(const CPBoundingBox& other);
    // Widens min and max to enclose other; the caller recomputes.
    void MergeNoRecompute(const CPBoundingBox& other);
    // Widens min and max by the eight corners projected through matrix (the shadow of the box
    // under a planar shadow projection); the caller recomputes.
    void AddShadow(const PMatrix& matrix);

    // Separating-axis test of the segment from origin to origin + direction × length (a unit
    // direction) against the box; touching counts as meeting.
    bool IntersectsSegment(const PVector3& origin, const PVector3& direction, float length) const;
    // True when the squared distance from point to the box is at most radius².
    bool IntersectsSphere(const PVector3& point, float radius) const;
};
