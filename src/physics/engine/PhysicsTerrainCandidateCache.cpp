#include "physics/engine/PhysicsTerrainCandidateCache.h"

#include <algorithm>
#include <cmath>
#include <limits>

void PhysicsTerrainCandidateCache::Reset(int32_t slotCount, const PhysicsTerrainTree& tree)
{
    const auto count = static_cast<std::size_t>(std::max(slotCount, 0));
    m_slots.assign(count, Slot{});
    // Left uninitialised: a slot's lists are written before they are read.
    m_nodes.reset(new KeptNode[count * kNodeRoom]);
    m_spans.reset(new KeptSpan[count * kSpanRoom]);
    m_answers.reset(new int32_t[count * kSpanRoom]);
    m_leafSpans.clear();
    m_leafSpans.reserve(static_cast<std::size_t>(tree.TriangleCount()));
}

bool PhysicsTerrainCandidateCache::Holds(const Slot& slot, const PhysicsVector& boxMin, const PhysicsVector& boxMax) const
{
    // False for a box with a coordinate that is not a number.
    return slot.minimum.x <= boxMin.x && slot.minimum.y <= boxMin.y && slot.minimum.z <= boxMin.z &&
           boxMax.x <= slot.maximum.x && boxMax.y <= slot.maximum.y && boxMax.z <= slot.maximum.z;
}

void PhysicsTerrainCandidateCache::Watch(Slot& slot, const PhysicsVector& boxMin, const PhysicsVector& boxMax) const
{
    const PhysicsVector margin{kMargin, kMargin, kMargin, 0.0f};
    slot.minimum = boxMin - margin;
    slot.maximum = boxMax + margin;
    slot.state = State::kWatching;
}

bool PhysicsTerrainCandidateCache::Prepare(int32_t slot, const PhysicsTerrainTree& tree, const PhysicsVector& boxMin,
                                           const PhysicsVector& boxMax)
{
    if (slot < 0 || slot >= static_cast<int32_t>(m_slots.size())) return false;  // no terrain yet
    Slot& kept = m_slots[static_cast<std::size_t>(slot)];
    if (!Holds(kept, boxMin, boxMax) || kept.state == State::kEmpty) {
        Watch(kept, boxMin, boxMax);
        return false;
    }
    if (kept.state == State::kWatching) {
        Watch(kept, boxMin, boxMax);
        kept.state = Fill(slot, tree) ? State::kFilled : State::kTooLarge;
    }
    return kept.state == State::kFilled;
}

bool PhysicsTerrainCandidateCache::Fill(int32_t slot, const PhysicsTerrainTree& tree)
{
    Slot& kept = m_slots[static_cast<std::size_t>(slot)];
    float lowY, highY;
    TerrainReachY(kept.minimum.y, kept.maximum.y, lowY, highY);
    kept.nodeCount = 0;
    kept.candidateCount = -1;
    int32_t spanCount = 0;
    return KeepNode(slot, tree, *tree.GetNode(-1), lowY, highY, spanCount);
}

// The walk of PhysicsTerrainTree::Query, keeping every node the slot's box meets.
bool PhysicsTerrainCandidateCache::KeepNode(int32_t slot, const PhysicsTerrainTree& tree, const PhysicsTerrainNode& node,
                                            float lowY, float highY, int32_t& spanCount)
{
    Slot& kept = m_slots[static_cast<std::size_t>(slot)];
    if (!node.Overlaps(kept.minimum, kept.maximum)) return true;
    if (kept.nodeCount == kNodeRoom) return false;
    const int32_t index = kept.nodeCount++;
    KeptNode& record = m_nodes[static_cast<std::size_t>(slot) * kNodeRoom + static_cast<std::size_t>(index)];
    record.node = &node;
    record.spansBegin = record.spansEnd = spanCount;
    if (node.IsLeaf()) {
        if (!KeepLeaf(slot, node, lowY, highY, spanCount)) return false;
    } else {
        for (int32_t child : node.children)
            if (child >= 0 && !KeepNode(slot, tree, *tree.GetNode(child), lowY, highY, spanCount)) return false;
    }
    record.subtreeEnd = kept.nodeCount;
    record.spansEnd = spanCount;
    return true;
}

// What the leaf's y index gives the slot's y range, in the leaf's order (the whole leaf when it
// has no index).
bool PhysicsTerrainCandidateCache::KeepLeaf(int32_t slot, const PhysicsTerrainNode& leaf, float lowY, float highY,
                                            int32_t& spanCount)
{
    KeptSpan* const spans = &m_spans[static_cast<std::size_t>(slot) * kSpanRoom];
    const PhysicsTerrainYIndex& index = leaf.alongY;
    if (!index.spans) {
        if (leaf.triangleCount > kSpanRoom - spanCount) return false;
        for (int32_t i = 0; i < leaf.triangleCount; ++i) spans[spanCount++] = {0.0f, 0.0f, leaf.triangles[i]};
        return true;
    }
    index.SpansMeeting(lowY, highY, m_leafSpans);
    if (static_cast<int32_t>(m_leafSpans.size()) > kSpanRoom - spanCount) return false;
    for (const PhysicsTerrainSpan* span : m_leafSpans) spans[spanCount++] = {span->minimumY, span->maximumY, span->triangle};
    return true;
}

void PhysicsTerrainCandidateCache::TakeCandidates(int32_t slot, const PhysicsVector& boxMin, const PhysicsVector& boxMax,
                                                  float lowY, float highY, uint32_t* stamps, uint32_t stamp,
                                                  std::vector<int32_t>& candidates)
{
    Slot& kept = m_slots[static_cast<std::size_t>(slot)];
    int32_t* const answer = &m_answers[static_cast<std::size_t>(slot) * kSpanRoom];
    const float inputs[kInputCount] = {boxMin.x, boxMin.y, boxMin.z, boxMax.x, boxMax.y, boxMax.z, lowY, highY};
    if (kept.candidateCount >= 0 && kept.ranges.Hold(inputs)) {
        candidates.assign(answer, answer + kept.candidateCount);
        return;
    }
    candidates.clear();
    Walk(slot, inputs, stamps, stamp, candidates);
    // Each kept span gives at most one candidate: the answer fits its room.
    std::copy(candidates.begin(), candidates.end(), answer);
    kept.candidateCount = static_cast<int32_t>(candidates.size());
}

namespace {

// A reach y, at least lowY, from which the leaf's y index (starting from y less the widest span)
// still reaches a span starting at minimumY; the index reaches it from every lower y too.
float ReachingLowY(float lowY, float minimumY, float widestSpanY)
{
    float y = minimumY + widestSpanY;
    for (int32_t step = 0; step < 8 && y - widestSpanY > minimumY; ++step)
        y = std::nextafter(y, -std::numeric_limits<float>::infinity());
    return y - widestSpanY <= minimumY && y > lowY ? y : lowY;
}

}  // namespace

void PhysicsTerrainCandidateCache::Walk(int32_t slot, const float (&inputs)[kInputCount], uint32_t* stamps,
                                        uint32_t stamp, std::vector<int32_t>& candidates)
{
    Slot& kept = m_slots[static_cast<std::size_t>(slot)];
    const KeptNode* const nodes = &m_nodes[static_cast<std::size_t>(slot) * kNodeRoom];
    const KeptSpan* const spans = &m_spans[static_cast<std::size_t>(slot) * kSpanRoom];
    InputRanges& ranges = kept.ranges;
    ranges.Open();
    auto take = [&](int32_t triangle) {
        if (stamps[triangle] == stamp) return;
        stamps[triangle] = stamp;
        candidates.push_back(triangle);
    };
    // Each decision below records the comparisons it rests on, and only those.
    auto apart = [&](const PhysicsTerrainNode& node) {
        for (int32_t axis = 0; axis < 3; ++axis)
            if (ranges.Greater(kMinX + axis, inputs[kMinX + axis], At(node.maximum, axis)) ||
                ranges.Less(kMaxX + axis, inputs[kMaxX + axis], At(node.minimum, axis)))
                return true;
        return false;
    };
    // The y index's choice: from the first span starting at lowY less the widest span, those
    // starting at most at highY and ending at least at lowY.
    const float lowY = inputs[kLowY], highY = inputs[kHighY];
    auto nearY = [&](const KeptSpan& span, float widest) {
        if (ranges.Greater(kLowY, lowY, span.maximumY) || ranges.Less(kHighY, highY, span.minimumY)) return false;
        const bool reached = span.minimumY >= lowY - widest;
        if (reached) ranges.AtMost(kLowY, ReachingLowY(lowY, span.minimumY, widest));
        else ranges.AtLeast(kLowY, lowY);
        return reached;
    };
    // Every node the box meets was kept (the kept box holds the box): skipping the subtrees of
    // those it misses makes the tree walk's decisions (PhysicsTerrainNode::Overlaps).
    for (int32_t i = 0; i < kept.nodeCount;) {
        const KeptNode& record = nodes[i];
        const PhysicsTerrainNode& node = *record.node;
        if (apart(node)) {
            i = record.subtreeEnd;
            continue;
        }
        ++i;
        if (!node.IsLeaf()) continue;
        const bool wholeLeaf = !node.alongY.spans;
        for (int32_t s = record.spansBegin; s < record.spansEnd; ++s)
            if (wholeLeaf || nearY(spans[s], node.alongY.widestSpanY)) take(spans[s].triangle);
    }
}

void PhysicsTerrainCandidateCache::Prefetch(int32_t slot) const
{
    __builtin_prefetch(&m_slots[static_cast<std::size_t>(slot)]);
    __builtin_prefetch(&m_nodes[static_cast<std::size_t>(slot) * kNodeRoom]);
    __builtin_prefetch(&m_spans[static_cast<std::size_t>(slot) * kSpanRoom]);
}

void PhysicsTerrainCandidateCache::InputRanges::Open()
{
    for (int32_t i = 0; i < kInputCount; ++i) {
        low[i] = -std::numeric_limits<float>::infinity();
        high[i] = std::numeric_limits<float>::infinity();
    }
}

bool PhysicsTerrainCandidateCache::InputRanges::Hold(const float (&inputs)[kInputCount]) const
{
    bool inside = true;
    for (int32_t i = 0; i < kInputCount; ++i) inside &= low[i] <= inputs[i] && inputs[i] <= high[i];
    return inside;
}

void PhysicsTerrainCandidateCache::InputRanges::AtMost(int32_t input, float limit)
{
    high[input] = std::min(high[input], limit);
}

void PhysicsTerrainCandidateCache::InputRanges::AtLeast(int32_t input, float limit)
{
    low[input] = std::max(low[input], limit);
}

bool PhysicsTerrainCandidateCache::InputRanges::Greater(int32_t input, float value, float threshold)
{
    const bool greater = value > threshold;
    if (greater) AtLeast(input, std::nextafter(threshold, std::numeric_limits<float>::infinity()));
    else AtMost(input, threshold);
    return greater;
}

bool PhysicsTerrainCandidateCache::InputRanges::Less(int32_t input, float value, float threshold)
{
    const bool less = value < threshold;
    if (less) AtMost(input, std::nextafter(threshold, -std::numeric_limits<float>::infinity()));
    else AtLeast(input, threshold);
    return less;
}
