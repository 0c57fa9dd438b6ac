#include "physics/engine/PhysicsTerrainCandidateCache.h"

#include <algorithm>

void PhysicsTerrainCandidateCache::Reset(int32_t slotCount, const PhysicsTerrainTree& tree)
{
    const auto count = static_cast<std::size_t>(std::max(slotCount, 0));
    m_slots.assign(count, Slot{});
    // Left uninitialised: a slot's lists are written before they are read.
    m_nodes.reset(new KeptNode[count * kNodeRoom]);
    m_spans.reset(new KeptSpan[count * kSpanRoom]);
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
    m_leafSpans.clear();
    for (const PhysicsTerrainSpan* span = index.FirstReaching(lowY); span != index.End() && span->minimumY <= highY; ++span)
        if (span->maximumY >= lowY) m_leafSpans.push_back(span);
    if (static_cast<int32_t>(m_leafSpans.size()) > kSpanRoom - spanCount) return false;
    std::sort(m_leafSpans.begin(), m_leafSpans.end(),
              [](const PhysicsTerrainSpan* a, const PhysicsTerrainSpan* b) { return a->position < b->position; });
    for (const PhysicsTerrainSpan* span : m_leafSpans) spans[spanCount++] = {span->minimumY, span->maximumY, span->triangle};
    return true;
}

void PhysicsTerrainCandidateCache::TakeCandidates(int32_t slot, const PhysicsVector& boxMin, const PhysicsVector& boxMax,
                                                  float lowY, float highY, uint32_t* stamps, uint32_t stamp,
                                                  std::vector<int32_t>& candidates) const
{
    const Slot& kept = m_slots[static_cast<std::size_t>(slot)];
    const KeptNode* const nodes = &m_nodes[static_cast<std::size_t>(slot) * kNodeRoom];
    const KeptSpan* const spans = &m_spans[static_cast<std::size_t>(slot) * kSpanRoom];
    auto take = [&](int32_t triangle) {
        if (stamps[triangle] == stamp) return;
        stamps[triangle] = stamp;
        candidates.push_back(triangle);
    };
    // Every node the box meets was kept (the kept box holds the box): skipping the subtrees of
    // those it misses makes the tree walk's decisions.
    for (int32_t i = 0; i < kept.nodeCount;) {
        const KeptNode& record = nodes[i];
        const PhysicsTerrainNode& node = *record.node;
        if (!node.Overlaps(boxMin, boxMax)) {
            i = record.subtreeEnd;
            continue;
        }
        ++i;
        if (!node.IsLeaf()) continue;
        if (!node.alongY.spans) {
            for (int32_t s = record.spansBegin; s < record.spansEnd; ++s) take(spans[s].triangle);
            continue;
        }
        // The y index's choice: from the first span starting at lowY less the widest span, those
        // starting at most at highY and ending at least at lowY.
        const float from = lowY - node.alongY.widestSpanY;
        for (int32_t s = record.spansBegin; s < record.spansEnd; ++s) {
            const KeptSpan& span = spans[s];
            if (span.minimumY >= from && span.minimumY <= highY && span.maximumY >= lowY) take(span.triangle);
        }
    }
}

void PhysicsTerrainCandidateCache::Prefetch(int32_t slot) const
{
    __builtin_prefetch(&m_slots[static_cast<std::size_t>(slot)]);
    __builtin_prefetch(&m_nodes[static_cast<std::size_t>(slot) * kNodeRoom]);
    __builtin_prefetch(&m_spans[static_cast<std::size_t>(slot) * kSpanRoom]);
}
