#pragma once
#include <cstdint>
#include <vector>

#include "physics/engine/PhysicsAllocator.h"
#include "physics/engine/PhysicsTriangleInfo.h"
#include "physics/engine/PhysicsTerrainYIndex.h"
#include "physics/engine/PhysicsTriangleMesh.h"
#include "physics/engine/PhysicsVector.h"

class PhysicsTerrainTree;

// A node of the terrain tree: a box and either up to four children (node indices, -1 for none)
// or, for a leaf, its triangle indices.
struct PhysicsTerrainNode {
    PhysicsTerrainTree* tree = nullptr;
    int32_t parent = -2;
    int32_t children[4] = {-1, -1, -1, -1};
    PhysicsVector minimum;
    PhysicsVector maximum;
    int32_t* triangles = nullptr;
    int32_t triangleCount = 0;
    // Beside a leaf's list: its triangles ordered along y (no spans when the leaf holds a column
    // triangle, whose test reaches any y below it).
    PhysicsTerrainYIndex alongY;

    void Init(PhysicsTerrainTree* owner, int32_t parentIndex, const PhysicsVector& boxMin, const PhysicsVector& boxMax);
    bool IsLeaf() const { return triangleCount > 0; }
    // Whether the boxes meet (touching counts).
    bool Overlaps(const PhysicsVector& boxMin, const PhysicsVector& boxMax) const
    {
        // Without a branch per axis: whether a box meets a node is hard to predict.
        const bool apartX = (boxMin.x > maximum.x) | (boxMax.x < minimum.x);
        const bool apartY = (boxMin.y > maximum.y) | (boxMax.y < minimum.y);
        const bool apartZ = (boxMin.z > maximum.z) | (boxMax.z < minimum.z);
        return !(apartX | apartY | apartZ);
    }
    // The quadrant q (0..3) of the node's box split in x and z at the point c.
    void QuadrantBox(const PhysicsVector& c, int32_t quadrant, PhysicsVector& boxMin, PhysicsVector& boxMax) const;
};

// The level's static triangle mesh, copied and split into a tree of up to four children per
// node (x and z split at the centroid of the node's triangles) so that a body's box reaches only
// nearby triangles. Triangles with indices out of range, corners that are not finite numbers or a
// zero normal are left out of the tree.
class PhysicsTerrainTree {
public:
    static constexpr int32_t kLeafSize = 10;  // fewer triangles than this make a leaf
    static constexpr int32_t kMaxDepth = 5;   // nodes at this depth are leaves
    static constexpr float kAxisMargin = 0.01f;

    PhysicsTerrainTree();
    PhysicsTerrainTree(const PhysicsTerrainTree&) = delete;
    PhysicsTerrainTree& operator=(const PhysicsTerrainTree&) = delete;
    ~PhysicsTerrainTree() { Clear(); }

    // Room for the first nodes and how the node array grows (-1 doubles, n > 0 adds n).
    void SetNodeSizing(int32_t initialNodes, int32_t growth);

    // Copies the mesh and builds the tree; false (nothing changed) when the mesh is empty or holds
    // no usable triangle.
    bool BuildTree(const PhysicsVector* vertices, int32_t vertexCount, const PhysicsMeshTriangle* triangles,
                   int32_t triangleCount, PhysicsAllocator* allocator);
    // Appends every leaf whose box meets the given box.
    void Query(std::vector<const PhysicsTerrainNode*>& result, const PhysicsVector& boxMin,
               const PhysicsVector& boxMax) const;
    void Clear();

    const PhysicsTerrainNode* GetNode(int32_t index) const { return index == -1 ? &m_root : &m_nodes[index]; }
    int32_t NodeCount() const { return m_nodeCount; }
    int32_t TriangleCount() const { return m_triangleCount; }
    const PhysicsMeshTriangle* Triangles() const { return m_triangles; }
    const PhysicsVector* Vertices() const { return m_vertices; }
    // Each triangle prepared for the tests once, by triangle index (zero for those left out).
    const PhysicsTriangleInfo* TriangleInfos() const { return m_triangleInfos; }

    bool IsUsableTriangle(const PhysicsMeshTriangle& triangle, const PhysicsVector* vertices, int32_t vertexCount) const;
    PhysicsVector TriangleCentroid(const std::vector<int32_t>& list) const;
    void TriangleBounds(const std::vector<int32_t>& list, PhysicsVector& boxMin, PhysicsVector& boxMax) const;
    bool TriangleOverlapsBox(const PhysicsVector& boxMin, const PhysicsVector& boxMax, int32_t triangle) const;

private:
    void BuildNode(int32_t nodeIndex, const std::vector<int32_t>& list, int32_t depth);
    void SetTriangles(int32_t nodeIndex, const std::vector<int32_t>& list);
    void IndexAlongY(PhysicsTerrainNode& leaf);
    void FreeLeafLists(PhysicsTerrainNode& node);
    void PrepareTriangleInfos(const std::vector<int32_t>& usable);
    int32_t NewNode();
    PhysicsTerrainNode& Node(int32_t index) { return index == -1 ? m_root : m_nodes[index]; }
    void QueryNode(const PhysicsTerrainNode& node, std::vector<const PhysicsTerrainNode*>& result,
                   const PhysicsVector& boxMin, const PhysicsVector& boxMax) const;
    void* Allocate(std::size_t bytes, std::size_t alignment);

    PhysicsDefaultAllocator m_ownAllocator;
    PhysicsAllocator* m_allocator = &m_ownAllocator;
    PhysicsVector* m_vertices = nullptr;
    int32_t m_vertexCount = 0;
    PhysicsMeshTriangle* m_triangles = nullptr;
    int32_t m_triangleCount = 0;
    PhysicsTriangleInfo* m_triangleInfos = nullptr;
    PhysicsTerrainNode* m_nodes = nullptr;
    int32_t m_nodeCount = 0;
    int32_t m_nodeCapacity = 0;
    int32_t m_initialNodes = 200;
    int32_t m_nodeGrowth = -1;
    PhysicsTerrainNode m_root;
};

// Separating-axis test of a triangle (corners a, b, c) against a box given by centre and half
// size; touching counts as overlapping.
bool TriangleBoxOverlap(const PhysicsVector& centre, const PhysicsVector& halfSize, const PhysicsVector& a,
                        const PhysicsVector& b, const PhysicsVector& c);
// Whether the plane n·x + d = 0 meets the box of the given half size centred at the origin.
bool PlaneOverlapsBox(const PhysicsVector& normal, float d, const PhysicsVector& halfSize);
