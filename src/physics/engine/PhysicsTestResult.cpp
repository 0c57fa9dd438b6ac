#include "physics/engine/PhysicsTestResult.h"

#include <algorithm>
#include <cmath>

namespace {

bool IsTiny(const PhysicsVector& v)
{
    return std::fabs(v.x) < kPhysicsEpsilon && std::fabs(v.y) < kPhysicsEpsilon && std::fabs(v.z) < kPhysicsEpsilon;
}

// Line parameters of the closest points of the lines through two segments; false for degenerate
// segments or parallel lines.
bool LineParameters(const PhysicsTestResult& r, float& s, float& t)
{
    const PhysicsVector dA = r.edgeAEnd - r.edgeAStart;
    const PhysicsVector dB = r.edgeBEnd - r.edgeBStart;
    const PhysicsVector w = r.edgeAStart - r.edgeBStart;
    if (IsTiny(dB) || IsTiny(dA)) return false;
    const float aa = Dot(dA, dA), bb = Dot(dB, dB), ab = Dot(dA, dB);
    const float den = aa * bb - ab * ab;
    if (std::fabs(den) < kPhysicsEpsilon) return false;
    s = (ab * Dot(w, dB) - bb * Dot(w, dA)) / den;
    t = (ab * s + Dot(w, dB)) / bb;
    return true;
}

bool Within(float p) { return p >= 0.0f && p < 1.0f; }

}  // namespace

void PhysicsTestResult::ClosestEdgePoints()
{
    float s = 0, t = 0;
    if (!LineParameters(*this, s, t) || !Within(s) || !Within(t)) return;
    first = edgeAStart + (edgeAEnd - edgeAStart) * s;
    second = edgeBStart + (edgeBEnd - edgeBStart) * t;
}

bool PhysicsTestResult::ClosestSegmentPoints(float& s, float& t)
{
    if (!LineParameters(*this, s, t)) {
        valid = 0;
        return false;
    }
    first = edgeAStart + (edgeAEnd - edgeAStart) * s;
    second = edgeBStart + (edgeBEnd - edgeBStart) * t;
    depth = std::sqrt(LengthSq(second - first));
    valid = Within(s) && Within(t) ? 1 : 0;
    return true;
}

void ClosestSegmentParameters(const PhysicsVector& p0, const PhysicsVector& p1, const PhysicsVector& q0,
                              const PhysicsVector& q1, float& s, float& t)
{
    const PhysicsVector dP = p1 - p0, dQ = q1 - q0, w = p0 - q0;
    const float pp = Dot(dP, dP), qq = Dot(dQ, dQ), pq = Dot(dP, dQ), wp = Dot(w, dP), wq = Dot(w, dQ);
    auto unit = [](float x) { return std::clamp(x, 0.0f, 1.0f); };
    s = t = 0.0f;
    if (qq == 0.0f) {
        if (pp > 0.0f) s = unit(-wp / pp);
        return;
    }
    if (pp == 0.0f) {
        t = unit(wq / qq);
        return;
    }
    // The lines' nearest point on P (its start for parallel lines), then the point of Q nearest to
    // it; when that lies beyond an end of Q, the point of P nearest to that end.
    const float den = pp * qq - pq * pq;
    if (den > kPhysicsEpsilon * pp * qq) s = unit((pq * wq - qq * wp) / den);
    t = (pq * s + wq) / qq;
    if (t < 0.0f) {
        t = 0.0f;
        s = unit(-wp / pp);
    } else if (t > 1.0f) {
        t = 1.0f;
        s = unit((pq - wp) / pp);
    }
}

PhysicsVector FallbackNormal(const PhysicsVector& centreA, const PhysicsVector& centreB, const PhysicsVector& hint)
{
    const PhysicsVector between = Normalized(centreA - centreB);
    if (LengthSq(between) > 0.0f) return between;
    const PhysicsVector fromHint = Normalized(hint);
    return LengthSq(fromHint) > 0.0f ? fromHint : PhysicsVector{0.0f, 0.0f, 1.0f, 0.0f};
}
