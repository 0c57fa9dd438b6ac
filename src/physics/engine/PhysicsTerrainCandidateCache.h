#pragma once
#include <cstdint>
#include <memory>
#include <vector>

#include "physics/engine/PhysicsTerrainTree.h"
#include "physics/engine/PhysicsVector.h"

// What the terrain tree gives for a box a little larger than a body's own, kept per body slot
// while the body's box stays inside it: a body that barely moves (resting, kept awake) then
// takes its candidates from a short list of its own instead of walking the tree and the leaves'
// y indexes again. The list keeps every node the larger box reached, in the walk's order, and for
// each leaf its triangles that the larger box's y range meets, in the leaf's order; a body's own
// box then takes exactly what the walk and the y indexes would give it, in the same order.
class PhysicsTerrainCandidateCache {
public:
    static constexpr int32_t kNodeRoom = 128;   // nodes a slot keeps; a larger reach is not kept
    static constexpr int32_t kSpanRoom = 512;   // triangles a slot keeps
    static constexpr float kMargin = 0.1f;      // how far the kept box reaches past the body's

    // Room for the given number of slots, all empty, and the work list for the tree's leaves.
    void Reset(int32_t slotCount, const PhysicsTerrainTree& tree);

    // Whether the slot holds what the tree gives the box. A box that left the slot's box is
    // watched: if the next call's box is still inside the box around it (the body moves slowly),
    // the slot is filled around that box. Otherwise (and when the reach does not fit) false: the
    // caller walks the tree itself.
    bool Prepare(int32_t slot, const PhysicsTerrainTree& tree, const PhysicsVector& boxMin, const PhysicsVector& boxMax);

    // Fills candidates with the triangles of a prepared slot that the box reaches (nodes met by
    // the box, triangles whose y range from lowY to highY the leaf's y index would take), each
    // once: stamps[triangle] == stamp marks those already taken. The list is kept with the range
    // of each input over which every comparison made comes out the same: while the inputs stay in
    // their ranges, the kept list is the answer.
    void TakeCandidates(int32_t slot, const PhysicsVector& boxMin, const PhysicsVector& boxMax, float lowY, float highY,
                        uint32_t* stamps, uint32_t stamp, std::vector<int32_t>& candidates);

    // Asks the memory for the start of a slot's lists.
    void Prefetch(int32_t slot) const;

private:
    enum class State : uint8_t { kEmpty, kWatching, kFilled, kTooLarge };
    // The inputs of a walk over a slot's lists: the box's corners and its y reach.
    enum Input : int32_t { kMinX, kMinY, kMinZ, kMaxX, kMaxY, kMaxZ, kLowY, kHighY, kInputCount };
    // Per input, the closed range of values over which the comparisons made come out the same.
    struct InputRanges {
        float low[kInputCount];
        float high[kInputCount];
        void Open();
        bool Hold(const float (&inputs)[kInputCount]) const;
        void AtMost(int32_t input, float limit);
        void AtLeast(int32_t input, float limit);
        // Records the side of input > threshold (and so of input <= threshold).
        bool Greater(int32_t input, float value, float threshold);
        // Records the side of input < threshold (and so of input >= threshold).
        bool Less(int32_t input, float value, float threshold);
    };
    struct Slot {
        PhysicsVector minimum, maximum;  // the kept (or watched) box
        int32_t nodeCount = 0;
        int32_t candidateCount = -1;     // the kept answer's length, -1 for none
        State state = State::kEmpty;
        InputRanges ranges;              // where the kept answer holds
    };
    struct KeptNode {
        const PhysicsTerrainNode* node;
        int32_t subtreeEnd;  // the kept node after this node's subtree
        int32_t spansBegin;  // a leaf's triangles in the slot's list
        int32_t spansEnd;
    };
    struct KeptSpan {
        float minimumY;
        float maximumY;
        int32_t triangle;
    };

    bool Holds(const Slot& slot, const PhysicsVector& boxMin, const PhysicsVector& boxMax) const;
    void Watch(Slot& slot, const PhysicsVector& boxMin, const PhysicsVector& boxMax) const;
    bool Fill(int32_t slot, const PhysicsTerrainTree& tree);
    bool KeepNode(int32_t slot, const PhysicsTerrainTree& tree, const PhysicsTerrainNode& node, float lowY, float highY,
                  int32_t& spanCount);
    bool KeepLeaf(int32_t slot, const PhysicsTerrainNode& leaf, float lowY, float highY, int32_t& spanCount);
    // The walk over the slot's lists, recording the ranges of its inputs.
    void Walk(int32_t slot, const float (&inputs)[kInputCount], uint32_t* stamps, uint32_t stamp,
              std::vector<int32_t>& candidates);

    std::vector<Slot> m_slots;
    std::unique_ptr<KeptNode[]> m_nodes;  // kNodeRoom per slot
    std::unique_ptr<KeptSpan[]> m_spans;  // kSpanRoom per slot
    std::unique_ptr<int32_t[]> m_answers;  // the last answer, kSpanRoom per slot
    std::vector<const PhysicsTerrainSpan*> m_leafSpans;  // work list of one leaf
};
