#include "physics/engine/PhysicsTerrainTree.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <new>
#include <numeric>

namespace {

PhysicsVector Corner(const PhysicsVector* vertices, const PhysicsMeshTriangle& triangle, int32_t k)
{
    return vertices[triangle.vertex[k]];
}

PhysicsVector TriangleNormal(const PhysicsVector& a, const PhysicsVector& b, const PhysicsVector& c)
{
    return Normalized(Cross(b - a, c - b));
}

}  // namespace

// Node ---------------------------------------------------------------------------------------

void PhysicsTerrainNode::Init(PhysicsTerrainTree* owner, int32_t parentIndex, const PhysicsVector& boxMin,
                              const PhysicsVector& boxMax)
{
    tree = owner;
    parent = parentIndex;
    for (int32_t& child : children) child = -1;
    minimum = boxMin;
    maximum = boxMax;
    triangles = nullptr;
    triangleCount = 0;
    alongY = PhysicsTerrainYIndex{};
}

void PhysicsTerrainNode::QuadrantBox(const PhysicsVector& c, int32_t quadrant, PhysicsVector& boxMin,
                                     PhysicsVector& boxMax) const
{
    boxMin = minimum;
    boxMax = maximum;
    const bool upperX = quadrant == 1 || quadrant == 2;
    const bool upperZ = quadrant == 2 || quadrant == 3;
    (upperX ? boxMin.x : boxMax.x) = c.x;
    (upperZ ? boxMin.z : boxMax.z) = c.z;
}

// Tree ---------------------------------------------------------------------------------------

PhysicsTerrainTree::PhysicsTerrainTree() { m_root.Init(this, -2, PhysicsVector{}, PhysicsVector{}); }

void PhysicsTerrainTree::SetNodeSizing(int32_t initialNodes, int32_t growth)
{
    m_initialNodes = std::max(initialNodes, 1);
    m_nodeGrowth = growth;
}

void* PhysicsTerrainTree::Allocate(std::size_t bytes, std::size_t alignment)
{
    return m_allocator->Alloc(bytes == 0 ? 1 : bytes, alignment);
}

void PhysicsTerrainTree::Clear()
{
    for (int32_t i = 0; i < m_nodeCount; ++i) FreeLeafLists(m_nodes[i]);
    FreeLeafLists(m_root);
    if (m_nodes) m_allocator->Free(m_nodes);
    if (m_vertices) m_allocator->Free(m_vertices);
    if (m_triangles) m_allocator->Free(m_triangles);
    if (m_triangleInfos) m_allocator->Free(m_triangleInfos);
    m_nodes = nullptr;
    m_triangleInfos = nullptr;
    m_vertices = nullptr;
    m_triangles = nullptr;
    m_nodeCount = m_nodeCapacity = m_vertexCount = m_triangleCount = 0;
    m_root.Init(this, -2, PhysicsVector{}, PhysicsVector{});
}

bool PhysicsTerrainTree::IsUsableTriangle(const PhysicsMeshTriangle& triangle, const PhysicsVector* vertices,
                                          int32_t vertexCount) const
{
    for (int32_t k = 0; k < 3; ++k) {
        const int32_t index = triangle.vertex[k];
        if (index < 0 || index >= vertexCount || !IsFinite(vertices[index])) return false;
    }
    const PhysicsVector n =
        TriangleNormal(Corner(vertices, triangle, 0), Corner(vertices, triangle, 1), Corner(vertices, triangle, 2));
    return LengthSq(n) > 0.0f;
}

bool PhysicsTerrainTree::BuildTree(const PhysicsVector* vertices, int32_t vertexCount,
                                   const PhysicsMeshTriangle* triangles, int32_t triangleCount,
                                   PhysicsAllocator* allocator)
{
    if (!vertices || vertexCount < 1 || !triangles || triangleCount < 1) return false;
    std::vector<int32_t> usable;
    usable.reserve(static_cast<std::size_t>(triangleCount));
    for (int32_t i = 0; i < triangleCount; ++i)
        if (IsUsableTriangle(triangles[i], vertices, vertexCount)) usable.push_back(i);
    if (usable.empty()) return false;

    Clear();
    m_allocator = allocator ? allocator : &m_ownAllocator;
    m_triangles = static_cast<PhysicsMeshTriangle*>(
        Allocate(sizeof(PhysicsMeshTriangle) * static_cast<std::size_t>(triangleCount), alignof(PhysicsMeshTriangle)));
    m_vertices = static_cast<PhysicsVector*>(
        Allocate(sizeof(PhysicsVector) * static_cast<std::size_t>(vertexCount), alignof(PhysicsVector)));
    m_nodes = static_cast<PhysicsTerrainNode*>(
        Allocate(sizeof(PhysicsTerrainNode) * static_cast<std::size_t>(m_initialNodes), alignof(PhysicsTerrainNode)));
    m_triangleInfos = static_cast<PhysicsTriangleInfo*>(Allocate(
        sizeof(PhysicsTriangleInfo) * static_cast<std::size_t>(triangleCount), alignof(PhysicsTriangleInfo)));
    if (!m_triangles || !m_vertices || !m_nodes || !m_triangleInfos) {
        Clear();
        return false;
    }
    std::memcpy(m_triangles, triangles, sizeof(PhysicsMeshTriangle) * static_cast<std::size_t>(triangleCount));
    std::memcpy(m_vertices, vertices, sizeof(PhysicsVector) * static_cast<std::size_t>(vertexCount));
    PrepareTriangleInfos(usable);
    m_triangleCount = triangleCount;
    m_vertexCount = vertexCount;
    m_nodeCapacity = m_initialNodes;

    PhysicsVector boxMin, boxMax;
    TriangleBounds(usable, boxMin, boxMax);
    m_root.Init(this, -2, boxMin, boxMax);
    BuildNode(-1, usable, 0);
    return true;
}

void PhysicsTerrainTree::PrepareTriangleInfos(const std::vector<int32_t>& usable)
{
    const PhysicsVector zero{};
    for (int32_t i = 0; i < m_triangleCount; ++i) new (&m_triangleInfos[i]) PhysicsTriangleInfo(zero, zero, zero);
    for (int32_t i : usable) {
        const PhysicsMeshTriangle& t = m_triangles[i];
        new (&m_triangleInfos[i])
            PhysicsTriangleInfo(m_vertices[t.vertex[0]], m_vertices[t.vertex[1]], m_vertices[t.vertex[2]]);
    }
}

int32_t PhysicsTerrainTree::NewNode()
{
    if (m_nodeCount == m_nodeCapacity) {
        const int32_t capacity = m_nodeGrowth > 0 ? m_nodeCapacity + m_nodeGrowth : m_nodeCapacity * 2;
        if (capacity <= m_nodeCapacity) return -1;  // no room to grow
        auto* nodes = static_cast<PhysicsTerrainNode*>(
            Allocate(sizeof(PhysicsTerrainNode) * static_cast<std::size_t>(capacity), alignof(PhysicsTerrainNode)));
        if (!nodes) return -1;
        std::memcpy(nodes, m_nodes, sizeof(PhysicsTerrainNode) * static_cast<std::size_t>(m_nodeCount));
        m_allocator->Free(m_nodes);
        m_nodes = nodes;
        m_nodeCapacity = capacity;
    }
    return m_nodeCount++;
}

void PhysicsTerrainTree::FreeLeafLists(PhysicsTerrainNode& node)
{
    if (node.triangles) m_allocator->Free(node.triangles);
    if (node.alongY.spans) m_allocator->Free(node.alongY.spans);
    if (node.alongY.bandStarts) m_allocator->Free(node.alongY.bandStarts);
    node.triangles = nullptr;
    node.triangleCount = 0;
    node.alongY = PhysicsTerrainYIndex{};
}

void PhysicsTerrainTree::SetTriangles(int32_t nodeIndex, const std::vector<int32_t>& list)
{
    PhysicsTerrainNode& node = Node(nodeIndex);
    FreeLeafLists(node);
    node.triangles = static_cast<int32_t*>(Allocate(sizeof(int32_t) * list.size(), alignof(int32_t)));
    node.triangleCount = node.triangles ? static_cast<int32_t>(list.size()) : 0;
    if (node.triangles) std::memcpy(node.triangles, list.data(), sizeof(int32_t) * list.size());
    for (int32_t& child : node.children) child = -1;
    IndexAlongY(node);
}

void PhysicsTerrainTree::IndexAlongY(PhysicsTerrainNode& leaf)
{
    if (leaf.triangleCount == 0) return;  // its list could not be allocated
    for (int32_t i = 0; i < leaf.triangleCount; ++i)
        if (m_triangles[leaf.triangles[i]].mode == 1) return;
    PhysicsTerrainYIndex index;
    index.count = leaf.triangleCount;
    // About two spans a band: a query steps over one or two before its first.
    index.bandCount = leaf.triangleCount / 2 + 1;
    index.spans = static_cast<PhysicsTerrainSpan*>(Allocate(
        sizeof(PhysicsTerrainSpan) * static_cast<std::size_t>(index.count), alignof(PhysicsTerrainSpan)));
    index.bandStarts = static_cast<int32_t*>(
        Allocate(sizeof(int32_t) * static_cast<std::size_t>(index.bandCount), alignof(int32_t)));
    if (!index.spans || !index.bandStarts) {  // the leaf is then walked whole
        if (index.spans) m_allocator->Free(index.spans);
        if (index.bandStarts) m_allocator->Free(index.bandStarts);
        return;
    }
    for (int32_t i = 0; i < index.count; ++i) {
        const int32_t triangle = leaf.triangles[i];
        const PhysicsMeshTriangle& t = m_triangles[triangle];
        const float y0 = Corner(m_vertices, t, 0).y, y1 = Corner(m_vertices, t, 1).y, y2 = Corner(m_vertices, t, 2).y;
        index.spans[i] = {std::min({y0, y1, y2}), std::max({y0, y1, y2}), i, triangle};
        index.widestSpanY = std::max(index.widestSpanY, index.spans[i].maximumY - index.spans[i].minimumY);
    }
    std::sort(index.spans, index.spans + index.count, [](const PhysicsTerrainSpan& a, const PhysicsTerrainSpan& b) {
        return a.minimumY != b.minimumY ? a.minimumY < b.minimumY : a.position < b.position;
    });
    index.FillBands();
    leaf.alongY = index;
}

void PhysicsTerrainTree::BuildNode(int32_t nodeIndex, const std::vector<int32_t>& list, int32_t depth)
{
    const PhysicsVector centre = TriangleCentroid(list);
    if (depth >= kMaxDepth || static_cast<int32_t>(list.size()) < kLeafSize) {
        SetTriangles(nodeIndex, list);
        return;
    }
    std::vector<int32_t> sub;
    sub.reserve(std::min<std::size_t>(list.size(), 2000));
    for (int32_t quadrant = 0; quadrant < 4; ++quadrant) {
        PhysicsVector boxMin, boxMax;
        Node(nodeIndex).QuadrantBox(centre, quadrant, boxMin, boxMax);
        sub.clear();
        for (int32_t triangle : list)
            if (TriangleOverlapsBox(boxMin, boxMax, triangle)) sub.push_back(triangle);
        if (sub.empty()) {
            Node(nodeIndex).children[quadrant] = -1;
            continue;
        }
        if (sub.size() == list.size()) {
            SetTriangles(nodeIndex, list);
            return;
        }
        const int32_t child = NewNode();
        if (child < 0) {
            SetTriangles(nodeIndex, list);
            return;
        }
        PhysicsVector subMin, subMax;
        TriangleBounds(sub, subMin, subMax);
        boxMin.y = subMin.y;
        boxMax.y = subMax.y;
        m_nodes[child].Init(this, nodeIndex, boxMin, boxMax);
        Node(nodeIndex).children[quadrant] = child;
        BuildNode(child, sub, depth + 1);
    }
}

void PhysicsTerrainTree::Query(std::vector<const PhysicsTerrainNode*>& result, const PhysicsVector& boxMin,
                               const PhysicsVector& boxMax) const
{
    QueryNode(m_root, result, boxMin, boxMax);
}

void PhysicsTerrainTree::QueryNode(const PhysicsTerrainNode& node, std::vector<const PhysicsTerrainNode*>& result,
                                   const PhysicsVector& boxMin, const PhysicsVector& boxMax) const
{
    if (!node.Overlaps(boxMin, boxMax)) return;
    if (node.IsLeaf()) {
        result.push_back(&node);
        return;
    }
    for (int32_t child : node.children)
        if (child >= 0) QueryNode(m_nodes[child], result, boxMin, boxMax);
}

PhysicsVector PhysicsTerrainTree::TriangleCentroid(const std::vector<int32_t>& list) const
{
    PhysicsVector sum;
    for (int32_t triangle : list)
        for (int32_t k = 0; k < 3; ++k) sum += Corner(m_vertices, m_triangles[triangle], k);
    return list.empty() ? sum : sum * (1.0f / (3.0f * static_cast<float>(list.size())));
}

void PhysicsTerrainTree::TriangleBounds(const std::vector<int32_t>& list, PhysicsVector& boxMin,
                                        PhysicsVector& boxMax) const
{
    boxMin = {1000000.0f, 1000000.0f, 1000000.0f, 0.0f};
    boxMax = {-1000000.0f, -1000000.0f, -1000000.0f, 0.0f};
    for (int32_t triangle : list)
        for (int32_t k = 0; k < 3; ++k) {
            const PhysicsVector p = Corner(m_vertices, m_triangles[triangle], k);
            for (int i = 0; i < 3; ++i) {
                At(boxMin, i) = std::min(At(boxMin, i), At(p, i));
                At(boxMax, i) = std::max(At(boxMax, i), At(p, i));
            }
        }
}

bool PhysicsTerrainTree::TriangleOverlapsBox(const PhysicsVector& boxMin, const PhysicsVector& boxMax,
                                             int32_t triangle) const
{
    const PhysicsMeshTriangle& t = m_triangles[triangle];
    const PhysicsVector a = Corner(m_vertices, t, 0), b = Corner(m_vertices, t, 1), c = Corner(m_vertices, t, 2);
    const PhysicsVector n = TriangleNormal(a, b, c);
    PhysicsVector margin;
    if (std::fabs(std::fabs(n.x) - 1.0f) <= 1e-6f) margin.x = kAxisMargin;
    else if (std::fabs(std::fabs(n.y) - 1.0f) <= 1e-6f) margin.y = kAxisMargin;
    else if (std::fabs(std::fabs(n.z) - 1.0f) <= 1e-6f) margin.z = kAxisMargin;
    const PhysicsVector centre = (boxMin + boxMax) * 0.5f;
    const PhysicsVector halfSize = (boxMax - boxMin) * 0.5f + margin;
    return TriangleBoxOverlap(centre, halfSize, a, b, c);
}

// Triangle against box -----------------------------------------------------------------------

bool PlaneOverlapsBox(const PhysicsVector& normal, float d, const PhysicsVector& halfSize)
{
    PhysicsVector vmin, vmax;
    for (int i = 0; i < 3; ++i) {
        const bool positive = At(normal, i) > 0.0f;
        At(vmin, i) = positive ? -At(halfSize, i) : At(halfSize, i);
        At(vmax, i) = positive ? At(halfSize, i) : -At(halfSize, i);
    }
    if (Dot(normal, vmin) + d > 0.0f) return false;
    return Dot(normal, vmax) + d >= 0.0f;
}

bool TriangleBoxOverlap(const PhysicsVector& centre, const PhysicsVector& halfSize, const PhysicsVector& a,
                        const PhysicsVector& b, const PhysicsVector& c)
{
    const PhysicsVector v[3] = {a - centre, b - centre, c - centre};
    const PhysicsVector edges[3] = {v[1] - v[0], v[2] - v[1], v[0] - v[2]};
    const PhysicsVector boxAxes[3] = {{1, 0, 0, 0}, {0, 1, 0, 0}, {0, 0, 1, 0}};

    // Apart on an axis only when the triangle's interval lies strictly beyond the box's radius.
    auto separated = [&](const PhysicsVector& axis) {
        const float p0 = Dot(v[0], axis), p1 = Dot(v[1], axis), p2 = Dot(v[2], axis);
        const float low = std::min({p0, p1, p2}), high = std::max({p0, p1, p2});
        const float radius = std::fabs(axis.x) * halfSize.x + std::fabs(axis.y) * halfSize.y + std::fabs(axis.z) * halfSize.z;
        return low > radius || high < -radius;
    };
    for (const PhysicsVector& edge : edges)
        for (const PhysicsVector& boxAxis : boxAxes)
            if (separated(Cross(boxAxis, edge))) return false;
    for (const PhysicsVector& boxAxis : boxAxes)
        if (separated(boxAxis)) return false;
    const PhysicsVector normal = Cross(edges[0], edges[1]);
    return PlaneOverlapsBox(normal, -Dot(normal, v[0]), halfSize);
}
